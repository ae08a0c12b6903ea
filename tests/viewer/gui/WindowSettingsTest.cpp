#include "tests/viewer/gui/GuiTestSupport.h"
#include "viewer/ViewerSettings.h"

#include <QAction>
#include <gtest/gtest.h>

using guitest::DialogTest;
using viewer::CSonoprobeDlg;
using viewer::ViewerSettings;

namespace {

int Setting(const char16_t* key) {
    return ViewerSettings::ReadIntSetting(key, -999);
}

bool Topmost(QWidget& window) {
    return window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace

TEST(WindowSettingsTest, PositionSizeFontAndTopmostSurviveARelaunch) {
    DialogTest test;
    const std::string path = test.files.Write("a.wav", guitest::PlainWave());
    CSonoprobeDlg& first = test.Open(path);
    // Every start writes both options back.
    EXPECT_EQ(0, Setting(u"AlwaysOnTop"));
    EXPECT_EQ(0, Setting(u"SaveWindowPos"));
    EXPECT_FALSE(Topmost(first));
    first.CommandAction(CSonoprobeDlg::AlwaysOnTop)->trigger();
    EXPECT_TRUE(Topmost(first));
    EXPECT_TRUE(first.isVisible());
    first.CommandAction(CSonoprobeDlg::SaveWindowPos)->trigger();
    first.move(123, 45);
    first.resize(480, first.height());
    first.CommandAction(CSonoprobeDlg::ZoomIn)->trigger();
    ASSERT_EQ(1u, test.starts.size());
    EXPECT_EQ(1, Setting(u"AlwaysOnTop"));
    EXPECT_EQ(1, Setting(u"SaveWindowPos"));
    EXPECT_EQ(123, Setting(u"XPosition"));
    EXPECT_EQ(45, Setting(u"YPosition"));
    EXPECT_EQ(480, Setting(u"SizeX"));
    EXPECT_EQ(10, Setting(u"FontSize"));

    CSonoprobeDlg& second = test.Open(path);
    EXPECT_TRUE(Topmost(second));
    EXPECT_TRUE(second.CommandAction(CSonoprobeDlg::AlwaysOnTop)->isChecked());
    EXPECT_TRUE(second.CommandAction(CSonoprobeDlg::SaveWindowPos)->isChecked());
    EXPECT_EQ(QPoint(123, 45), second.pos());
    EXPECT_EQ(480, second.width());
    EXPECT_EQ(10, second.font().pointSize());

    second.CommandAction(CSonoprobeDlg::AlwaysOnTop)->trigger();
    EXPECT_FALSE(Topmost(second));
    EXPECT_EQ(0, Setting(u"AlwaysOnTop"));
}

TEST(WindowSettingsTest, TheStoredWidthAppliesOnlyWithAStoredPosition) {
    struct Case {
        int saveWindowPos, x, y, sizeX;
        bool placed;
        int width; // 0: the template's width
    } cases[] = {
        {1, 40, 50, 200, true, 359},                             // never narrower than 359 pixels
        {1, 40, 50, 700, true, 700}, {1, -1, -1, 700, false, 0}, // no stored position
        {1, -1, 50, 700, true, 700},                             // one stored coordinate is enough
        {0, 40, 50, 700, false, 0},                              // the option is off
        {5, 40, 50, 700, true, 700},                             // any value but 0 is on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.saveWindowPos << " " << c.x << " " << c.y);
        DialogTest test;
        const std::string path = test.files.Write("a.wav", guitest::PlainWave());
        const int templateWidth = test.Open(path).width();
        test.Close();
        ViewerSettings::WriteIntSetting(u"SaveWindowPos", c.saveWindowPos);
        ViewerSettings::WriteIntSetting(u"XPosition", c.x);
        ViewerSettings::WriteIntSetting(u"YPosition", c.y);
        ViewerSettings::WriteIntSetting(u"SizeX", c.sizeX);
        CSonoprobeDlg& dialog = test.Open(path);
        EXPECT_EQ(c.width ? c.width : templateWidth, dialog.width());
        if (c.placed) {
            EXPECT_EQ(QPoint(c.x, c.y), dialog.pos());
        }
        EXPECT_EQ(c.saveWindowPos ? 1 : 0, Setting(u"SaveWindowPos"));
    }
}

TEST(WindowSettingsTest, MovesAreStoredOnlyWhileSaveWindowPositionIsOn) {
    DialogTest test;
    CSonoprobeDlg& dialog = test.Open(test.files.Write("a.wav", guitest::PlainWave()));
    dialog.move(77, 66);
    EXPECT_EQ(-999, Setting(u"XPosition"));
    dialog.CommandAction(CSonoprobeDlg::SaveWindowPos)->trigger();
    dialog.move(78, 67);
    EXPECT_EQ(78, Setting(u"XPosition"));
    EXPECT_EQ(67, Setting(u"YPosition"));
}
