// The code page dialog of both programs and the viewer's "Codepage for Non-UNICODE Tags".
#include "shared-ui/CSelectCodepageDlg.h"
#include "shared-ui/CodePageList.h"
#include "shared-ui/DialogUnits.h"
#include "tests/viewer/gui/GuiTestSupport.h"
#include "viewer/ViewerSettings.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <set>

using sharedui::CodePageList;
using sharedui::CSelectCodepageDlg;
using viewer::CSonoprobeDlg;
using viewer::ViewerSettings;

namespace {

class CodePageDialogTest : public testing::Test {
  protected:
    CodePageDialogTest() { guitest::EnsureApplication(); }

    CSelectCodepageDlg&
    Open(uint32_t selected,
         CSelectCodepageDlg::Program program = CSelectCodepageDlg::Program::Viewer,
         int pointSize = 9) {
        dialog_ = std::make_unique<CSelectCodepageDlg>(program, pointSize, nullptr);
        dialog_->SelectedCodePage = selected;
        dialog_->show();
        return *dialog_;
    }

    testsupport::ScopedConfigHome config_;
    std::unique_ptr<CSelectCodepageDlg> dialog_;
};

void ClickDone(QWidget& dialog) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
}

// Once the command has opened its modal code page dialog, hands it to act; closes it if act did
// not.
void WithModalDialog(const std::function<void(CSelectCodepageDlg&)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<CSelectCodepageDlg*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no code page dialog open";
            return;
        }
        act(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace

TEST(CodePageListTest, RowsAreTheOfferedCodePagesOnceEachWithZeroFirst) {
    const auto& rows = CodePageList::Rows();
    ASSERT_EQ(138u, rows.size());
    std::set<uint32_t> numbers;
    for (const CodePageList::Row& row : rows) {
        EXPECT_TRUE(numbers.insert(row.codePage).second) << row.codePage;
        EXPECT_NE(u'\0', row.name[0]) << row.codePage;
    }
    struct Spot {
        size_t row;
        uint32_t codePage;
        std::u16string name;
    } spots[] = {
        {0, 0, u"Defined by System"},          {1, 37, u"IBM EBCDIC - U.S./Canada"},
        {41, 1251, u"ANSI - Cyrillic (1251)"}, {50, 10000, u" MAC - Roman"},
        {68, 20000, u"CNS - Taiwan"},          {69, 20001, u"TCA - Taiwan"},
        {88, 20866, u"Russian - KOI8-R"},      {108, 38598, u"ISO 8859-8 Hebrew"},
        {137, 65001, u"Unicode UTF-8"},
    };
    for (const Spot& spot : spots) {
        SCOPED_TRACE(spot.row);
        EXPECT_EQ(spot.codePage, rows[spot.row].codePage);
        EXPECT_EQ(spot.name, rows[spot.row].name);
    }
}

TEST_F(CodePageDialogTest, TheListShowsEveryRowInOrderWithItsNumber) {
    CSelectCodepageDlg& dialog = Open(0);
    QComboBox* list = dialog.List();
    ASSERT_EQ(138, list->count());
    for (int i = 0; i < list->count(); ++i) {
        const CodePageList::Row& row = CodePageList::Rows()[static_cast<size_t>(i)];
        EXPECT_EQ(QString::fromUtf16(row.name), list->itemText(i));
        EXPECT_EQ(row.codePage, list->itemData(i).value<uint32_t>());
    }
}

TEST_F(CodePageDialogTest, TheStoredCodePageIsSelectedAndDoneKeepsIt) {
    struct Case {
        uint32_t stored;
        QString shown;
        uint32_t afterDone;
    } cases[] = {
        {0, "Defined by System", 0},
        {1251, "ANSI - Cyrillic (1251)", 1251},
        {65001, "Unicode UTF-8", 65001},
        {10000, " MAC - Roman", 10000},
        // Not in the list: "Defined by System", which "Done" then stores.
        {1, "Defined by System", 0},
        {0xFFFFFFFF, "Defined by System", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        CSelectCodepageDlg& dialog = Open(c.stored);
        EXPECT_EQ(c.shown, dialog.List()->currentText());
        ClickDone(dialog);
        EXPECT_EQ(QDialog::Accepted, dialog.result());
        EXPECT_EQ(c.afterDone, dialog.SelectedCodePage);
    }
}

TEST_F(CodePageDialogTest, DoneTakesTheChosenRowAndEscapeChangesNothing) {
    CSelectCodepageDlg& chosen = Open(1252);
    chosen.List()->setCurrentIndex(chosen.List()->findText(QStringLiteral("Russian - KOI8-R")));
    ClickDone(chosen);
    EXPECT_EQ(20866u, chosen.SelectedCodePage);

    CSelectCodepageDlg& escaped = Open(1252);
    escaped.List()->setCurrentIndex(0);
    QTest::keyClick(escaped.List(), Qt::Key_Escape);
    EXPECT_EQ(QDialog::Rejected, escaped.result());
    EXPECT_EQ(1252u, escaped.SelectedCodePage);
}

TEST_F(CodePageDialogTest, EachProgramHasItsTemplate) {
    struct Case {
        CSelectCodepageDlg::Program program;
        int pointSize;
        QString dialogId;
        QString listId;
    } cases[] = {
        {CSelectCodepageDlg::Program::Viewer, 11, "134", "1007"},
        {CSelectCodepageDlg::Program::Tagger, 9, "108", "1034"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialogId.toStdString());
        CSelectCodepageDlg& dialog = Open(0, c.program, c.pointSize);
        EXPECT_EQ(c.dialogId, dialog.objectName());
        EXPECT_EQ(c.listId, dialog.List()->objectName());
        EXPECT_EQ(QStringLiteral("Select Codepage"), dialog.windowTitle());
        EXPECT_EQ(c.pointSize, dialog.font().pointSize());
        sharedui::DialogUnits units(dialog.font());
        EXPECT_EQ(QSize(units.X(166), units.Y(67)), dialog.size());
        EXPECT_FALSE(dialog.List()->isEditable());
        auto* prompt = dialog.findChild<QLabel*>();
        ASSERT_NE(nullptr, prompt);
        EXPECT_EQ(QStringLiteral("Please select codepage for non-unicode tag fields conversion"),
                  prompt->text());
        auto* done = dialog.findChild<QPushButton*>(QStringLiteral("1"));
        EXPECT_EQ(QStringLiteral("Done"), done->text());
        EXPECT_TRUE(done->isDefault());
        EXPECT_EQ(units.Rect(47, 44, 71, 17), done->geometry());
        EXPECT_EQ(QPoint(units.X(6), units.Y(25)), dialog.List()->pos());
    }
}

TEST_F(CodePageDialogTest, TheViewersCommandStoresTheChoiceAndShowsTheFileAgain) {
    guitest::DialogTest test;
    ViewerSettings::WriteIntSetting(u"TagsCodepage", 1);
    ViewerSettings::WriteIntSetting(u"FontSize", 10);
    const std::string path = test.files.Write("a.mp3", guitest::Mp3WithTitle("t"));
    CSonoprobeDlg& dialog = test.Open(path);
    WithModalDialog([](CSelectCodepageDlg& select) {
        EXPECT_EQ(QStringLiteral("134"), select.objectName());
        EXPECT_EQ(10, select.font().pointSize());
        EXPECT_EQ(QStringLiteral("Defined by System"), select.List()->currentText());
        select.List()->setCurrentIndex(select.List()->findText("ANSI - Cyrillic (1251)"));
        ClickDone(select);
    });
    dialog.CommandAction(CSonoprobeDlg::CodepageForTags)->trigger();
    EXPECT_EQ(1251, ViewerSettings::ReadIntSetting(u"TagsCodepage", 0));
    ASSERT_EQ(1u, test.starts.size());
    EXPECT_EQ(QStringList{QString::fromStdString(path)}, test.starts[0]);
    EXPECT_FALSE(dialog.isVisible());

    CSonoprobeDlg& second = test.Open(path);
    WithModalDialog([](CSelectCodepageDlg& select) {
        EXPECT_EQ(QStringLiteral("ANSI - Cyrillic (1251)"), select.List()->currentText());
        select.List()->setCurrentIndex(0);
        select.reject();
    });
    second.CommandAction(CSonoprobeDlg::CodepageForTags)->trigger();
    EXPECT_EQ(1251, ViewerSettings::ReadIntSetting(u"TagsCodepage", 0));
    EXPECT_EQ(1u, test.starts.size());
    EXPECT_TRUE(second.isVisible());
}
