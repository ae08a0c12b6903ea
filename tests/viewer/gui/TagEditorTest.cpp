// The tag editor: its genre list and code page, the Unicode choice, the fields and their limit,
// and "&Edit Tags" of the information window, which writes through the control and shows the
// file again.
#include "control/GenreNames.h"
#include "platform/CodePage.h"
#include "tests/viewer/gui/GuiTestSupport.h"
#include "viewer/ViewerSettings.h"
#include "viewer/gui/CTagEditor.h"
#include "viewer/gui/TagCommands.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>

using testsupport::U8;
using viewer::CSonoprobeDlg;
using viewer::CTagEditor;
using viewer::TagCommands;
using viewer::ViewerSettings;

namespace {

const QString BardSong = QStringLiteral("Авторская песня");

// LC_ALL for the scope: it decides the system's ANSI code page.
class ScopedLocale {
  public:
    explicit ScopedLocale(const char* name) {
        if (const char* old = std::getenv("LC_ALL"))
            previous_ = old;
        setenv("LC_ALL", name, 1);
    }
    ~ScopedLocale() {
        if (previous_)
            setenv("LC_ALL", previous_->c_str(), 1);
        else
            unsetenv("LC_ALL");
    }

  private:
    std::optional<std::string> previous_;
};

class TagEditorTest : public testing::Test {
  protected:
    TagEditorTest() { guitest::EnsureApplication(); }
    ~TagEditorTest() override { TagCommands::SetTagWriter(nullptr); }

    // An editor with the texts set, opened as the command opens it.
    CTagEditor&
    Open(const std::vector<std::pair<std::u16string CTagEditor::*, std::u16string>>& texts = {}) {
        editor_ = std::make_unique<CTagEditor>(nullptr);
        for (const auto& [member, text] : texts)
            (*editor_).*member = text;
        editor_->show();
        return *editor_;
    }
    QLineEdit* Edit(int id) {
        return editor_->findChild<QLineEdit*>(QString::number(id), Qt::FindDirectChildrenOnly);
    }
    QComboBox* Genre() { return editor_->findChild<QComboBox*>(QStringLiteral("1050")); }
    QCheckBox* UseUnicode() { return editor_->findChild<QCheckBox*>(QStringLiteral("1006")); }
    void ClickDone() { QTest::mouseClick(editor_->findChild<QPushButton*>("1"), Qt::LeftButton); }

    testsupport::ScopedConfigHome config_;
    testsupport::MessageBoxCapture messages_;
    std::unique_ptr<CTagEditor> editor_;
};

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

// Once the command has opened its modal editor, hands it to act; closes it if act did not.
void WithModalEditor(const std::function<void(CTagEditor&)>& act) {
    QTimer::singleShot(0, [act] {
        auto* editor = qobject_cast<CTagEditor*>(QApplication::activeModalWidget());
        if (!editor) {
            ADD_FAILURE() << "no tag editor open";
            return;
        }
        act(*editor);
        if (editor->isVisible())
            editor->reject();
    });
}

template <class Widget> Widget* Child(QWidget& parent, int id) {
    return parent.findChild<Widget*>(QString::number(id));
}

} // namespace

TEST_F(TagEditorTest, TheGenreListHoldsEveryNameSortedWithTheLastReadInTheCodePage) {
    const QString asCp1252 = QStringLiteral("Àâòîðñêàÿ ïåñíÿ");
    struct Case {
        std::optional<int> stored; // "TagsCodepage"; none: not set
        const char* locale;
        QString lastName;
    } cases[] = {
        {std::nullopt, "en_US.UTF-8", asCp1252},
        {1251, "en_US.UTF-8", BardSong},
        {1252, "ru_RU.UTF-8", asCp1252},
        {0, "ru_RU.UTF-8", BardSong},
        // Code pages that cannot read the names (no converter; EBCDIC; UTF-16) give way to the
        // system's ANSI code page rather than to a list of garbage.
        {1, "ru_RU.UTF-8", BardSong},
        {37, "en_US.UTF-8", asCp1252},
        {1200, "ru_RU.UTF-8", BardSong},
        {12000, "en_US.UTF-8", asCp1252},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored.value_or(-1) << " " << c.locale);
        ScopedLocale locale(c.locale);
        if (c.stored)
            ViewerSettings::WriteIntSetting(u"TagsCodepage", *c.stored);
        Open();
        const QStringList items = Items(Genre());
        ASSERT_EQ(149, items.size());
        for (size_t index = 0; index + 1 < control::GenreNameCount; ++index)
            EXPECT_TRUE(items.contains(QString::fromLatin1(control::GenreName(index))))
                << control::GenreName(index);
        EXPECT_TRUE(items.contains(c.lastName));
        for (qsizetype i = 1; i < items.size(); ++i)
            EXPECT_LE(QString::compare(items[i - 1], items[i], Qt::CaseInsensitive), 0)
                << U8(items[i - 1].toStdU16String()) << " / " << U8(items[i].toStdU16String());
    }
}

TEST_F(TagEditorTest, UseUnicodeIsTickedOnlyByOneAndDoneStoresTheBox) {
    struct Case {
        std::optional<int> stored;
        bool ticked;
        bool click; // toggle the box before "Done"
        int written;
    } cases[] = {
        {std::nullopt, false, false, 0},
        {0, false, false, 0},
        {1, true, false, 1},
        {2, false, false, 0},
        {-1, false, false, 0},
        {1, true, true, 0},
        {2, false, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.value_or(-99));
        if (c.stored)
            ViewerSettings::WriteIntSetting(u"UseUnicodeForTags", *c.stored);
        Open();
        EXPECT_EQ(c.ticked, UseUnicode()->isChecked());
        if (c.click)
            QTest::mouseClick(UseUnicode(), Qt::LeftButton);
        ClickDone();
        EXPECT_EQ(QDialog::Accepted, editor_->result());
        EXPECT_EQ(c.written == 1, editor_->UseUnicode);
        EXPECT_EQ(c.written, ViewerSettings::ReadIntSetting(u"UseUnicodeForTags", 99));
    }
}

TEST_F(TagEditorTest, EscapeAndTheCloseBoxKeepTextsAndSetting) {
    ViewerSettings::WriteIntSetting(u"UseUnicodeForTags", 2);
    CTagEditor& editor = Open({{&CTagEditor::Title, u"Old"}});
    QTest::mouseClick(UseUnicode(), Qt::LeftButton);
    Edit(CTagEditor::TitleId)->setText(QStringLiteral("New"));
    QTest::keyClick(Edit(CTagEditor::TitleId), Qt::Key_Escape);
    EXPECT_EQ(QDialog::Rejected, editor.result());
    EXPECT_EQ(u"Old", editor.Title);
    EXPECT_EQ(2, ViewerSettings::ReadIntSetting(u"UseUnicodeForTags", 99));

    CTagEditor& closed = Open();
    QTest::mouseClick(UseUnicode(), Qt::LeftButton);
    closed.close();
    EXPECT_EQ(QDialog::Rejected, closed.result());
    EXPECT_EQ(2, ViewerSettings::ReadIntSetting(u"UseUnicodeForTags", 99));
}

TEST_F(TagEditorTest, TheFieldsShowTheTagsAndDoneTakesWhatTheyHold) {
    ViewerSettings::WriteIntSetting(u"TagsCodepage", 1251);
    CTagEditor& editor = Open({{&CTagEditor::Title, u"Песня"},
                               {&CTagEditor::Artist, u"Artist"},
                               {&CTagEditor::Album, u"Album"},
                               {&CTagEditor::Genre, u"Jazz"},
                               {&CTagEditor::Year, u"1999"},
                               {&CTagEditor::Comment, u"Comment"},
                               {&CTagEditor::TrackNum, u"7/12"}});
    EXPECT_EQ(QStringLiteral("Песня"), Edit(CTagEditor::TitleId)->text());
    EXPECT_EQ(QStringLiteral("Artist"), Edit(CTagEditor::ArtistId)->text());
    EXPECT_EQ(QStringLiteral("Album"), Edit(CTagEditor::AlbumId)->text());
    EXPECT_EQ(QStringLiteral("1999"), Edit(CTagEditor::YearId)->text());
    EXPECT_EQ(QStringLiteral("Comment"), Edit(CTagEditor::CommentId)->text());
    EXPECT_EQ(QStringLiteral("7/12"), Edit(CTagEditor::TrackId)->text());
    EXPECT_EQ(QStringLiteral("Jazz"), Genre()->currentText());

    Edit(CTagEditor::ArtistId)->clear();
    Edit(CTagEditor::AlbumId)->end(false);
    Edit(CTagEditor::AlbumId)->insert(QStringLiteral(" Два"));
    Genre()->setCurrentIndex(Genre()->findText(BardSong));
    ClickDone();
    EXPECT_EQ(QDialog::Accepted, editor.result());
    EXPECT_EQ(u"Песня", editor.Title);
    EXPECT_EQ(u"", editor.Artist);
    EXPECT_EQ(u"Album Два", editor.Album);
    EXPECT_EQ(u"Авторская песня", editor.Genre);
    EXPECT_EQ(u"1999", editor.Year);
    EXPECT_EQ(u"Comment", editor.Comment);
    EXPECT_EQ(u"7/12", editor.TrackNum);
}

TEST_F(TagEditorTest, AGenreSelectsOnlyTheVerySameEntryAndComesBackUnchanged) {
    struct Case {
        std::u16string genre;
        bool selects;
    } cases[] = {
        {u"Rock", true},   {u"Ro", false},       {u"rock", false}, {u"", false},
        {u"Rock ", false}, {u"My Genre", false}, {u"Ska", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U8(c.genre));
        CTagEditor& editor = Open({{&CTagEditor::Genre, c.genre}});
        EXPECT_EQ(QString::fromStdU16String(c.genre), Genre()->currentText());
        EXPECT_EQ(c.selects, Genre()->currentIndex() >= 0);
        ClickDone();
        EXPECT_EQ(c.genre, editor.Genre);
    }
}

TEST_F(TagEditorTest, TypedGenreTextIsNeitherCompletedNorAddedToTheList) {
    CTagEditor& editor = Open();
    // Completion works only in the window that has the focus.
    QApplication::setActiveWindow(&editor);
    Genre()->setFocus();
    ASSERT_TRUE(Genre()->lineEdit()->hasFocus());
    QTest::keyClicks(Genre()->lineEdit(), QStringLiteral("Roc"));
    EXPECT_EQ(QStringLiteral("Roc"), Genre()->currentText());
    QTest::keyClick(Genre()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(149, Genre()->count());
    if (editor.isVisible())
        ClickDone();
    EXPECT_EQ(QDialog::Accepted, editor.result());
    EXPECT_EQ(u"Roc", editor.Genre);
}

TEST_F(TagEditorTest, FieldsTakeAtMost255CharactersAndLongerTagsAreRefusedAtDone) {
    const std::u16string longComment(300, u'c');
    CTagEditor& editor = Open({{&CTagEditor::Comment, longComment}, {&CTagEditor::Title, u"T"}});
    for (QLineEdit* edit : {Edit(CTagEditor::TitleId), Genre()->lineEdit()}) {
        edit->clear();
        QTest::keyClicks(edit, QString(300, QLatin1Char('x')));
        EXPECT_EQ(255, edit->text().size());
    }

    // A longer tag is shown whole and can only be shortened.
    QLineEdit* comment = Edit(CTagEditor::CommentId);
    EXPECT_EQ(QString::fromStdU16String(longComment), comment->text());
    comment->setCursorPosition(300);
    QTest::keyClick(comment, Qt::Key_Backspace);
    QTest::keyClicks(comment, QStringLiteral("zz"));
    EXPECT_EQ(QString(299, QLatin1Char('c')), comment->text());

    ClickDone();
    ASSERT_EQ(1u, messages_.shown().size());
    EXPECT_EQ(u"Enter no more than 255 characters.", messages_.shown()[0].text);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(longComment, editor.Comment);
    EXPECT_EQ(u"T", editor.Title);
    EXPECT_EQ(99, ViewerSettings::ReadIntSetting(u"UseUnicodeForTags", 99));
    EXPECT_EQ(comment, editor.focusWidget());

    comment->setText(QString(255, QLatin1Char('c')));
    ClickDone();
    EXPECT_EQ(1u, messages_.shown().size());
    EXPECT_EQ(QDialog::Accepted, editor.result());
    EXPECT_EQ(std::u16string(255, u'c'), editor.Comment);
}

TEST_F(TagEditorTest, TheDialogIsTemplate132InItsFontSize) {
    ViewerSettings::WriteIntSetting(u"FontSize", 11);
    CTagEditor& editor = Open();
    EXPECT_EQ(QStringLiteral("132"), editor.objectName());
    EXPECT_EQ(QStringLiteral("Audio File Tags (ID3v2)"), editor.windowTitle());
    EXPECT_EQ(11, editor.font().pointSize());
    EXPECT_EQ(QSize(editor.Units().X(207), editor.Units().Y(115)), editor.size());
    QStringList labels;
    for (QLabel* label : editor.findChildren<QLabel*>())
        labels.append(label->text());
    labels.sort();
    EXPECT_EQ((QStringList{
                  "Album :", "Artist :", "Comment :", "Genre :", "Title :", "Track :", "Year :"}),
              labels);
    struct Box {
        int id, x, y, width, height;
    } edits[] = {{1019, 44, 7, 156, 12},  {1034, 44, 22, 156, 12}, {1036, 44, 37, 156, 12},
                 {1037, 44, 52, 156, 12}, {1049, 44, 68, 52, 12},  {1044, 125, 68, 41, 12}};
    for (const Box& box : edits) {
        SCOPED_TRACE(box.id);
        QLineEdit* edit = Edit(box.id);
        ASSERT_NE(nullptr, edit);
        EXPECT_EQ(editor.Units().Rect(box.x, box.y, box.width, box.height), edit->geometry());
        EXPECT_EQ(Qt::StrongFocus, edit->focusPolicy() & Qt::StrongFocus);
    }
    EXPECT_TRUE(Genre()->isEditable());
    EXPECT_EQ(QPoint(editor.Units().X(44), editor.Units().Y(83)), Genre()->pos());
    EXPECT_EQ(QStringLiteral("Use Unicode"), UseUnicode()->text());
    auto* done = editor.findChild<QPushButton*>(QStringLiteral("1"));
    EXPECT_EQ(QStringLiteral("Done"), done->text());
    EXPECT_TRUE(done->isDefault());
    EXPECT_EQ(editor.Units().Rect(172, 68, 28, 42), done->geometry());
}

TEST_F(TagEditorTest, DoneWritesTheSevenTextsInOrderUnderTheWaitCursorThenShowsTheFileAgain) {
    guitest::DialogTest test;
    const std::string path = test.files.Write("a.mp3", guitest::FullyTaggedMp3());
    CSonoprobeDlg& dialog = test.Open(path);
    ASSERT_TRUE(dialog.CommandAction(CSonoprobeDlg::EditTags)->isEnabled());
    std::vector<std::vector<std::u16string>> calls;
    std::optional<Qt::CursorShape> cursor;
    TagCommands::SetTagWriter([&](viewer::CSonoprobeCtrl& control, const std::u16string& file,
                                  const std::u16string& title, const std::u16string& artist,
                                  const std::u16string& album, const std::u16string& year,
                                  const std::u16string& genre, const std::u16string& comment,
                                  const std::u16string& trackNum, bool useUnicode) {
        EXPECT_EQ(&dialog.Control(), &control);
        EXPECT_TRUE(test.starts.empty());
        if (QCursor* shown = QApplication::overrideCursor())
            cursor = shown->shape();
        calls.push_back({file, title, artist, album, year, genre, comment, trackNum,
                         useUnicode ? u"unicode" : u"8-bit"});
        return true;
    });
    WithModalEditor([](CTagEditor& editor) {
        auto* title = Child<QLineEdit>(editor, CTagEditor::TitleId);
        title->setText(QStringLiteral("New Title"));
        auto* genre = Child<QComboBox>(editor, CTagEditor::GenreId);
        genre->setEditText(QStringLiteral("My Genre"));
        Child<QCheckBox>(editor, CTagEditor::UseUnicodeId)->setChecked(true);
        QTest::mouseClick(Child<QPushButton>(editor, CTagEditor::DoneId), Qt::LeftButton);
    });
    dialog.CommandAction(CSonoprobeDlg::EditTags)->trigger();

    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(
        (std::vector<std::u16string>{platform::Utf8ToUtf16(path), u"New Title", u"Artist", u"Album",
                                     u"1999", u"My Genre", u"Comment", u"7", u"unicode"}),
        calls[0]);
    EXPECT_EQ(Qt::WaitCursor, cursor);
    EXPECT_EQ(nullptr, QApplication::overrideCursor());
    ASSERT_EQ(1u, test.starts.size());
    EXPECT_EQ(QStringList{QString::fromStdString(path)}, test.starts[0]);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(1, ViewerSettings::ReadIntSetting(u"UseUnicodeForTags", 0));
}

TEST_F(TagEditorTest, AFailedWriteStillShowsTheFileAgainButAControlErrorKeepsTheWindow) {
    struct Case {
        const char* name;
        bool throws;
    } cases[] = {{"false", false}, {"automation error", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        guitest::DialogTest test;
        testsupport::MessageBoxCapture messages;
        const std::string path = test.files.Write("a.mp3", guitest::FullyTaggedMp3());
        CSonoprobeDlg& dialog = test.Open(path);
        int writes = 0;
        TagCommands::SetTagWriter([&](viewer::CSonoprobeCtrl&, const std::u16string&,
                                      const std::u16string&, const std::u16string&,
                                      const std::u16string&, const std::u16string&,
                                      const std::u16string&, const std::u16string&,
                                      const std::u16string&, bool) -> bool {
            ++writes;
            if (c.throws)
                throw viewer::ControlCallError(platform::E_FAIL, "No converter for code page 1");
            return false;
        });
        WithModalEditor([](CTagEditor& editor) { editor.accept(); });
        dialog.CommandAction(CSonoprobeDlg::EditTags)->trigger();

        EXPECT_EQ(1, writes);
        EXPECT_EQ(nullptr, QApplication::overrideCursor());
        if (c.throws) {
            ASSERT_EQ(1u, messages.shown().size());
            EXPECT_EQ(u"No converter for code page 1", messages.shown()[0].text);
            EXPECT_EQ(platform::MB_OK | platform::MB_ICONERROR, messages.shown()[0].flags);
            EXPECT_TRUE(test.starts.empty());
            EXPECT_TRUE(dialog.isVisible());
        } else {
            EXPECT_TRUE(messages.shown().empty());
            ASSERT_EQ(1u, test.starts.size());
            EXPECT_FALSE(dialog.isVisible());
        }
    }
}

TEST_F(TagEditorTest, CancellingTheEditorWritesNothing) {
    guitest::DialogTest test;
    CSonoprobeDlg& dialog = test.Open(test.files.Write("a.mp3", guitest::FullyTaggedMp3()));
    int writes = 0;
    TagCommands::SetTagWriter([&](auto&&...) {
        ++writes;
        return true;
    });
    WithModalEditor([](CTagEditor& editor) {
        EXPECT_EQ(QStringLiteral("Title"), Child<QLineEdit>(editor, CTagEditor::TitleId)->text());
        EXPECT_EQ(QStringLiteral("Jazz"),
                  Child<QComboBox>(editor, CTagEditor::GenreId)->currentText());
        editor.reject();
    });
    dialog.CommandAction(CSonoprobeDlg::EditTags)->trigger();
    EXPECT_EQ(0, writes);
    EXPECT_TRUE(test.starts.empty());
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(TagEditorTest, TheWrittenTagsAreWhatTheNextWindowShows) {
    struct Case {
        const char* name;
        int codePage;
        bool unicode;
        QString title;
    } cases[] = {
        {"unicode", 0, true, QStringLiteral("Лето 夏 Summer")},
        {"8-bit cp1251", 1251, false, QStringLiteral("Лето")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        guitest::DialogTest test;
        ViewerSettings::WriteIntSetting(u"TagsCodepage", c.codePage);
        const std::string path = test.files.Write("a.mp3", guitest::FullyTaggedMp3());
        CSonoprobeDlg& dialog = test.Open(path);
        WithModalEditor([&c](CTagEditor& editor) {
            Child<QLineEdit>(editor, CTagEditor::TitleId)->setText(c.title);
            Child<QLineEdit>(editor, CTagEditor::CommentId)->clear();
            Child<QComboBox>(editor, CTagEditor::GenreId)->setEditText(BardSong);
            Child<QCheckBox>(editor, CTagEditor::UseUnicodeId)->setChecked(c.unicode);
            QTest::mouseClick(Child<QPushButton>(editor, CTagEditor::DoneId), Qt::LeftButton);
        });
        dialog.CommandAction(CSonoprobeDlg::EditTags)->trigger();
        ASSERT_EQ(1u, test.starts.size());

        const viewer::AudioFileFields& shown = test.Open(path).Fields();
        EXPECT_EQ(c.title.toStdU16String(), shown.Title);
        EXPECT_EQ(u"Artist", shown.Artist);
        EXPECT_EQ(u"Album", shown.Album);
        EXPECT_EQ(BardSong.toStdU16String(), shown.Genre);
        EXPECT_EQ(u"1999", shown.Year);
        EXPECT_EQ(u"", shown.Comment);
        EXPECT_EQ(u"7", shown.TrackNum);
        EXPECT_EQ(u"MPA", shown.Codec.substr(0, 3));
    }
}
