#include "shared-ui/CAboutDlg.h"
#include "tests/viewer/gui/GuiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <gtest/gtest.h>

using sharedui::CAboutDlg;

namespace {

class AboutBoxTest : public ::testing::Test {
  protected:
    void SetUp() override { guitest::EnsureApplication(); }

    // Clicks the box itself at the centre of a control (labels let the box see the mouse).
    static void ClickOn(CAboutDlg& box, QWidget* control) {
        QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, control->geometry().center());
    }

    std::vector<QUrl> opened;
};

QLabel* Label(CAboutDlg& box, const char* id) {
    return box.findChild<QLabel*>(QString::fromLatin1(id));
}

QLabel* LabelWithText(CAboutDlg& box, const QString& text) {
    for (QLabel* label : box.findChildren<QLabel*>())
        if (label->text() == text)
            return label;
    return nullptr;
}

} // namespace

TEST_F(AboutBoxTest, ShowsTheVersionInBoldRedAndTheLinksInUnderlinedBlue) {
    CAboutDlg box(CAboutDlg::Program::Viewer, QStringLiteral("1.0.3"), nullptr);
    EXPECT_EQ(QStringLiteral("About Sonoprobe..."), box.windowTitle());
    QLabel* version = Label(box, "1042");
    EXPECT_EQ(QStringLiteral("Sonoprobe ver 1.0.3"), version->text());
    EXPECT_TRUE(version->font().bold());
    EXPECT_EQ(QColor(255, 0, 0), version->palette().color(QPalette::WindowText));
    for (const char* id : {"1047", "1048"}) {
        EXPECT_TRUE(Label(box, id)->font().underline()) << id;
        EXPECT_EQ(QColor(0, 0, 255), Label(box, id)->palette().color(QPalette::WindowText)) << id;
    }
    EXPECT_EQ(QStringLiteral("Orvane"), Label(box, "1047")->text());
    auto* donate = box.findChild<QAbstractButton*>(QStringLiteral("1054"));
    EXPECT_EQ(QSize(74, 21), donate->size());
    EXPECT_EQ(QStringLiteral("Donate for Sonoprobe"), donate->toolTip());
}

TEST_F(AboutBoxTest, LinksOpenTheirAddressesAndOtherTextDoesNothing) {
    CAboutDlg box(CAboutDlg::Program::Viewer, QStringLiteral("1.0.3"), nullptr);
    box.SetUrlOpener([this](const QUrl& url) { opened.push_back(url); });
    box.show();
    ClickOn(box, LabelWithText(box, QStringLiteral("Thanks to")));
    ClickOn(box, Label(box, "1042"));
    EXPECT_TRUE(opened.empty());
    ClickOn(box, Label(box, "1047"));
    ClickOn(box, Label(box, "1048"));
    QTest::mouseClick(box.findChild<QAbstractButton*>(QStringLiteral("1054")), Qt::LeftButton);
    ASSERT_EQ(3u, opened.size());
    EXPECT_EQ(QStringLiteral("mailto"), opened[0].scheme());
    EXPECT_EQ(QStringLiteral("subject=Sonoprobe"), opened[0].query());
    EXPECT_EQ(CAboutDlg::WebUrl(), opened[1]);
    EXPECT_EQ(CAboutDlg::DonateUrl(CAboutDlg::Program::Viewer), opened[2]);
    EXPECT_TRUE(opened[2].query().contains(QStringLiteral("Sonoprobe")));
    EXPECT_TRUE(box.isVisible());
}

TEST_F(AboutBoxTest, EnterAndEscapeEndTheBox) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        CAboutDlg box(CAboutDlg::Program::Viewer, QString(), nullptr);
        box.SetUrlOpener([this](const QUrl& url) { opened.push_back(url); });
        box.show();
        QTest::keyClick(&box, key);
        EXPECT_FALSE(box.isVisible()) << key;
    }
    // Enter does not press the Donate button.
    EXPECT_TRUE(opened.empty());
}

TEST_F(AboutBoxTest, TheTaggersBoxHasNoForumLink) {
    CAboutDlg box(CAboutDlg::Program::Tagger, QStringLiteral("2.0"), nullptr);
    box.SetUrlOpener([this](const QUrl& url) { opened.push_back(url); });
    EXPECT_EQ(QStringLiteral("About..."), box.windowTitle());
    EXPECT_EQ(QStringLiteral("Trackwright ver 2.0"), Label(box, "1042")->text());
    EXPECT_EQ(nullptr, Label(box, "1048"));
    EXPECT_EQ(nullptr, LabelWithText(box, QStringLiteral("Thanks to")));
    EXPECT_EQ(QStringLiteral("Donate for Sonoprobe/Trackwright"),
              box.findChild<QAbstractButton*>(QStringLiteral("1054"))->toolTip());
    box.show();
    ClickOn(box, Label(box, "1047"));
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(QStringLiteral("Sonoprobe (Trackwright)"),
              QUrlQuery(opened[0]).queryItemValue(QStringLiteral("subject")));
}

TEST_F(AboutBoxTest, TheInformationWindowsAboutBoxShowsItsVersion) {
    guitest::DialogTest test;
    viewer::CSonoprobeDlg& dialog = test.Open(test.files.Write("a.wav", guitest::PlainWave()));
    EXPECT_EQ(QStringLiteral("1.0.3"), dialog.VersionText());
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(QStringLiteral("Sonoprobe ver 1.0.3"),
                  box->findChild<QLabel*>(QStringLiteral("1042"))->text());
        box->reject();
    });
    dialog.CommandAction(viewer::CSonoprobeDlg::About)->trigger();
}
