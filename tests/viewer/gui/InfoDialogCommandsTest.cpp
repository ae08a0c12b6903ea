#include "platform/CodePage.h"
#include "tests/viewer/gui/GuiTestSupport.h"
#include "viewer/ViewerSettings.h"
#include "viewer/gui/CShowTextDlg.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using guitest::DialogTest;
using viewer::CSonoprobeDlg;
using viewer::ViewerSettings;

namespace {

QWidget* Field(CSonoprobeDlg& dialog) {
    return dialog.findChild<QWidget*>(QStringLiteral("1000"));
}

int TextWindowCount() {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<viewer::CShowTextDlg*>(window))
            ++count;
    return count;
}

} // namespace

TEST(InfoDialogCommandsTest, ZoomStaysBetweenSixAndTwelvePoints) {
    struct Case {
        int stored;
        int command;
        int written;        // 0: nothing written, no restart
        bool zoomInEnabled; // at start
        bool zoomOutEnabled;
    } cases[] = {
        {12, CSonoprobeDlg::ZoomIn, 0, false, true}, {12, CSonoprobeDlg::ZoomOut, 11, false, true},
        {11, CSonoprobeDlg::ZoomIn, 12, true, true}, {6, CSonoprobeDlg::ZoomOut, 0, true, false},
        {6, CSonoprobeDlg::ZoomIn, 7, true, false},  {9, CSonoprobeDlg::ZoomOut, 8, true, true},
        {20, CSonoprobeDlg::ZoomIn, 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " " << c.command);
        DialogTest test;
        ViewerSettings::WriteIntSetting(u"FontSize", c.stored);
        const std::string path = test.files.Write("a.mp3", guitest::Mp3WithTitle("t"));
        CSonoprobeDlg& dialog = test.Open(path);
        EXPECT_EQ(c.zoomInEnabled, dialog.CommandAction(CSonoprobeDlg::ZoomIn)->isEnabled());
        EXPECT_EQ(c.zoomOutEnabled, dialog.CommandAction(CSonoprobeDlg::ZoomOut)->isEnabled());
        dialog.CommandAction(c.command)->trigger();
        if (c.written == 0) {
            EXPECT_TRUE(test.starts.empty());
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(c.stored, ViewerSettings::ReadIntSetting(u"FontSize", 0));
        } else {
            ASSERT_EQ(1u, test.starts.size());
            EXPECT_EQ(QStringList{QString::fromStdString(path)}, test.starts[0]);
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(c.written, ViewerSettings::ReadIntSetting(u"FontSize", 0));
        }
    }
}

TEST(InfoDialogCommandsTest, TheDialogFontFollowsFontSize) {
    DialogTest test;
    ViewerSettings::WriteIntSetting(u"FontSize", 11);
    CSonoprobeDlg& large = test.Open(test.files.Write("a.wav", guitest::PlainWave()));
    const int largeWidth = large.width();
    const int largeHeight = large.height();
    EXPECT_EQ(11, large.font().pointSize());
    ViewerSettings::WriteIntSetting(u"FontSize", 7);
    CSonoprobeDlg& small = test.Open(test.files.path() + "/a.wav");
    EXPECT_EQ(7, small.font().pointSize());
    EXPECT_LT(small.height(), largeHeight);
    EXPECT_LE(small.width(), largeWidth);
}

TEST(InfoDialogCommandsTest, KeypadKeysZoomFromAnyControl) {
    DialogTest test;
    const std::string path = test.files.Write("a.wav", guitest::PlainWave());
    CSonoprobeDlg& dialog = test.Open(path);
    // The main keyboard's plus is no command.
    QTest::keyClick(Field(dialog), Qt::Key_Plus);
    EXPECT_TRUE(test.starts.empty());
    QTest::keyClick(Field(dialog), Qt::Key_Minus, Qt::KeypadModifier);
    ASSERT_EQ(1u, test.starts.size());
    EXPECT_EQ(8, ViewerSettings::ReadIntSetting(u"FontSize", 0));
    CSonoprobeDlg& second = test.Open(path);
    QTest::keyClick(Field(second), Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_EQ(2u, test.starts.size());
    EXPECT_EQ(9, ViewerSettings::ReadIntSetting(u"FontSize", 0));
}

TEST(InfoDialogCommandsTest, RelaunchPassesOneFullPathAndClosesTheWindow) {
    DialogTest test;
    CSonoprobeDlg& dialog = test.Open(test.files.Write("a.wav", guitest::PlainWave()));
    dialog.RelaunchWithFile(u"/music/-odd name \"x\".mp3");
    ASSERT_EQ(1u, test.starts.size());
    EXPECT_EQ(QStringList{QStringLiteral("/music/-odd name \"x\".mp3")}, test.starts[0]);
    EXPECT_FALSE(dialog.isVisible());

    // A relative path that looks like a flag reaches the new process as a full path.
    CSonoprobeDlg& second = test.Open(test.files.path() + "/a.wav");
    second.RelaunchWithFile(u"-a.mp3");
    ASSERT_EQ(2u, test.starts.size());
    EXPECT_EQ(QStringList{QDir::current().absoluteFilePath(QStringLiteral("-a.mp3"))},
              test.starts[1]);
}

TEST(InfoDialogCommandsTest, OpenStartsTheProgramWithoutAFile) {
    DialogTest test;
    CSonoprobeDlg& dialog = test.Open(test.files.Write("a.wav", guitest::PlainWave()));
    QTest::keyClick(Field(dialog), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(1u, test.starts.size());
    EXPECT_TRUE(test.starts[0].isEmpty());
    EXPECT_FALSE(dialog.isVisible());
}

TEST(InfoDialogCommandsTest, ShowInfoAsTextTwiceGivesOneWindow) {
    DialogTest test;
    CSonoprobeDlg& dialog = test.Open(test.files.Write("a.mp3", guitest::Mp3WithTitle("Song")));
    dialog.CommandAction(CSonoprobeDlg::ShowInfoAsText)->trigger();
    viewer::CShowTextDlg* first = dialog.TextWindow();
    ASSERT_NE(nullptr, first);
    EXPECT_TRUE(first->isVisible());
    QTest::keyClick(Field(dialog), Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(first, dialog.TextWindow());
    EXPECT_EQ(1, TextWindowCount());
    EXPECT_TRUE(
        first->Report().startsWith(QStringLiteral("File      : a.mp3\nTitle     : Song\n")));

    // Closing the main window takes the text window with it.
    dialog.reject();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(nullptr, dialog.TextWindow());
    EXPECT_EQ(0, TextWindowCount());
}

TEST(InfoDialogCommandsTest, TheTextWindowOpensByItselfWithTheTextFlag) {
    DialogTest test;
    CSonoprobeDlg& dialog = test.Open(test.files.Write("a.wav", guitest::PlainWave()), true);
    EXPECT_EQ(nullptr, dialog.TextWindow());
    QApplication::processEvents();
    ASSERT_NE(nullptr, dialog.TextWindow());
    EXPECT_TRUE(dialog.TextWindow()->isVisible());
}

TEST(InfoDialogCommandsTest, EditTagsIsOfferedForMpegAudioOnly) {
    DialogTest test;
    struct Case {
        const char* name;
        testsupport::Bytes file;
        bool enabled;
    } cases[] = {
        {"a.mp3", guitest::Mp3WithTitle("t"), true},
        {"a.wav", guitest::PlainWave(), false},
        {"not-really.mp3", testsupport::Bytes(100, 0), false},
    };
    for (const Case& c : cases) {
        CSonoprobeDlg& dialog = test.Open(test.files.Write(c.name, c.file));
        EXPECT_EQ(c.enabled, dialog.CommandAction(CSonoprobeDlg::EditTags)->isEnabled()) << c.name;
        QString codec = dialog.findChild<QLineEdit*>(QStringLiteral("1014"))->text();
        EXPECT_EQ(c.enabled, codec.startsWith(QStringLiteral("MPA"))) << c.name;
    }
}

TEST(InfoDialogCommandsTest, WithoutAFileTheDialogAsksAndEndsWhenCancelled) {
    DialogTest test;
    CSonoprobeDlg& dialog = test.Open("");
    EXPECT_EQ(1, test.fileQuestions);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(test.starts.empty());

    test.fileAnswer = platform::Utf8ToUtf16(test.files.Write("chosen.wav", guitest::PlainWave()));
    CSonoprobeDlg& chosen = test.Open("\"\"");
    EXPECT_EQ(2, test.fileQuestions);
    EXPECT_TRUE(chosen.isVisible());
    EXPECT_EQ(QStringLiteral("chosen.wav"),
              chosen.findChild<QLineEdit*>(QStringLiteral("1000"))->text());
    // No wait window stays behind.
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->objectName() == QStringLiteral("131") && window->isVisible());
}

TEST(InfoDialogCommandsTest, EnterAndEscapeCloseTheWindow) {
    DialogTest test;
    const std::string path = test.files.Write("a.wav", guitest::PlainWave());
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        CSonoprobeDlg& dialog = test.Open(path);
        QTest::keyClick(Field(dialog), key);
        EXPECT_FALSE(dialog.isVisible()) << key;
    }
    EXPECT_TRUE(test.starts.empty());
}

TEST(InfoDialogCommandsTest, AutoCheckForUpdatesSwitchesOnOnlyFromZero) {
    DialogTest test;
    ViewerSettings::WriteIntSetting(u"AutoCheckUpdate", 2);
    CSonoprobeDlg& dialog = test.Open(test.files.Write("a.wav", guitest::PlainWave()));
    QAction* item = dialog.CommandAction(CSonoprobeDlg::AutoCheckUpdate);
    EXPECT_TRUE(item->isEnabled());
    EXPECT_FALSE(item->isChecked()); // only exactly 1 counts, and no check ran
    item->trigger();
    EXPECT_EQ(0, ViewerSettings::ReadIntSetting(u"AutoCheckUpdate", -1));
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_EQ(1, ViewerSettings::ReadIntSetting(u"AutoCheckUpdate", -1));
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(dialog.CommandAction(CSonoprobeDlg::CheckUpdateNow)->isEnabled());
}
