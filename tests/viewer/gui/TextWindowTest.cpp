#include "tests/viewer/gui/GuiTestSupport.h"
#include "viewer/ViewerSettings.h"
#include "viewer/gui/CShowTextDlg.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using viewer::AudioFileFields;
using viewer::CShowTextDlg;
using viewer::ViewerSettings;

namespace {

class TextWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        guitest::EnsureApplication();
        fields.FileName = u"song.mp3";
        fields.Title = u"A title that is a good deal longer than the other lines of the report";
        fields.FileSize = u"0.01 Mb ( 8,935 bytes )";
        fields.SamplingRate = u"44100 Hz";
        fields.Codec = u"MPA-1 Layer III";
        fields.Channels = u"2 channels";
        fields.Bitrate = u"128 kbps";
        fields.AdditionalInfo = u"Joint Stereo";
    }

    static int Setting(const char16_t* key) { return ViewerSettings::ReadIntSetting(key, -999); }

    testsupport::ScopedConfigHome config;
    AudioFileFields fields;
};

} // namespace

TEST_F(TextWindowTest, ShowsTheReportWithoutAFinalLineBreak) {
    CShowTextDlg window(fields, nullptr, CShowTextDlg::Kind::Modal);
    EXPECT_EQ(QStringLiteral("File      : song.mp3\n"
                             "Title     : A title that is a good deal longer than the other lines "
                             "of the report\n"
                             "Size      : 0.01 Mb ( 8,935 bytes )\n"
                             "Parameters: 44100 Hz, MPA-1 Layer III, 2 channels, ~128 kbps\n"
                             "Additional: Joint Stereo"),
              window.Report());
    EXPECT_EQ(QStringLiteral("Audio File Text Information"), window.windowTitle());
    EXPECT_TRUE(window.findChild<QPlainTextEdit*>(QStringLiteral("1018"))->isReadOnly());
}

TEST_F(TextWindowTest, TheWindowFitsTheWholeReport) {
    for (int fontSize : {6, 9, 12}) {
        ViewerSettings::WriteIntSetting(u"FontSize", fontSize);
        CShowTextDlg window(fields, nullptr, CShowTextDlg::Kind::Modal);
        window.show();
        QApplication::processEvents();
        auto* edit = window.findChild<QPlainTextEdit*>(QStringLiteral("1018"));
        EXPECT_EQ(fontSize, edit->font().pointSize());
        EXPECT_EQ(0, edit->horizontalScrollBar()->maximum()) << fontSize;
        EXPECT_EQ(0, edit->verticalScrollBar()->maximum()) << fontSize;
        EXPECT_EQ(QRect(10, edit->y(), window.width() - 20, window.height() - edit->y() - 10),
                  edit->geometry());
    }
}

TEST_F(TextWindowTest, AnEmptyReportGivesTheDefaultSize) {
    CShowTextDlg window(AudioFileFields{}, nullptr, CShowTextDlg::Kind::Modal);
    EXPECT_FALSE(window.Report().isEmpty()); // the File and Parameters lines are always there
    ViewerSettings::WriteIntSetting(u"SaveTextWindowSize", 1);
    CShowTextDlg saved(AudioFileFields{}, nullptr, CShowTextDlg::Kind::Modal);
    EXPECT_EQ(QSize(400, 150), saved.size());
}

TEST_F(TextWindowTest, SavedSizeAndPositionAreUsedTogether) {
    ViewerSettings::WriteIntSetting(u"SaveTextWindowSize", 1);
    ViewerSettings::WriteIntSetting(u"SaveTextWindowPos", 1);
    ViewerSettings::WriteIntSetting(u"TextWindowWidth", 520);
    ViewerSettings::WriteIntSetting(u"TextWindowHeight", 310);
    ViewerSettings::WriteIntSetting(u"TextWindowX", 300);
    ViewerSettings::WriteIntSetting(u"TextWindowY", 200);
    CShowTextDlg window(fields, nullptr, CShowTextDlg::Kind::Modal);
    window.show();
    EXPECT_EQ(QSize(520, 310), window.size());
    EXPECT_EQ(QPoint(300, 200), window.pos());
    // Opening the window wrote nothing over the stored place.
    EXPECT_EQ(300, Setting(u"TextWindowX"));
    EXPECT_EQ(200, Setting(u"TextWindowY"));
    EXPECT_TRUE(window.SaveSizeItem()->isChecked());
    EXPECT_TRUE(window.SavePositionItem()->isChecked());
    window.resize(600, 330);
    EXPECT_EQ(600, Setting(u"TextWindowWidth"));
    EXPECT_EQ(330, Setting(u"TextWindowHeight"));
}

TEST_F(TextWindowTest, TheMenuItemsSwitchTheOptionsAndStoreTheWindow) {
    {
        CShowTextDlg window(fields, nullptr, CShowTextDlg::Kind::Modal);
        window.show();
        EXPECT_FALSE(window.SaveSizeItem()->isChecked());
        window.resize(450, 222);
        EXPECT_EQ(-999, Setting(u"TextWindowWidth"));
        window.SaveSizeItem()->trigger();
        EXPECT_TRUE(window.SaveSizeItem()->isChecked());
        EXPECT_EQ(1, Setting(u"SaveTextWindowSize"));
        EXPECT_EQ(450, Setting(u"TextWindowWidth"));
        EXPECT_EQ(222, Setting(u"TextWindowHeight"));
        window.move(31, 41);
        EXPECT_EQ(-999, Setting(u"TextWindowX"));
        window.SavePositionItem()->trigger();
        EXPECT_EQ(1, Setting(u"SaveTextWindowPos"));
        EXPECT_EQ(31, Setting(u"TextWindowX"));
        EXPECT_EQ(41, Setting(u"TextWindowY"));
    }
    CShowTextDlg again(fields, nullptr, CShowTextDlg::Kind::Modal);
    EXPECT_EQ(QSize(450, 222), again.size());
    EXPECT_EQ(QPoint(31, 41), again.pos());
    again.SaveSizeItem()->trigger();
    EXPECT_EQ(0, Setting(u"SaveTextWindowSize"));
    EXPECT_FALSE(again.SaveSizeItem()->isChecked());
}

TEST_F(TextWindowTest, EscapeAndADoubleClickOnTheMarginCloseTheWindow) {
    auto* byKey = new CShowTextDlg(fields, nullptr, CShowTextDlg::Kind::Modeless);
    QPointer<CShowTextDlg> watched(byKey);
    byKey->show();
    QTest::keyClick(byKey->findChild<QPlainTextEdit*>(QStringLiteral("1018")), Qt::Key_Escape);
    EXPECT_FALSE(byKey->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull()); // a modeless window is deleted when it closes

    CShowTextDlg byMouse(fields, nullptr, CShowTextDlg::Kind::Modal);
    byMouse.show();
    QTest::mouseDClick(byMouse.findChild<QPlainTextEdit*>(QStringLiteral("1018"))->viewport(),
                       Qt::LeftButton);
    EXPECT_TRUE(byMouse.isVisible()); // a double click in the text selects a word
    QTest::mouseDClick(&byMouse, Qt::LeftButton, Qt::NoModifier, QPoint(3, byMouse.height() - 3));
    EXPECT_FALSE(byMouse.isVisible());
}
