#include "viewer/gui/FolderBrowser.h"
#include "tests/viewer/gui/GuiTestSupport.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

using guitest::DialogTest;
using viewer::CSonoprobeDlg;
using viewer::FolderBrowser;
using Key = FolderBrowser::Key;

namespace {

class FolderBrowserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"b.wav", "a.mp3", "C.FLAC", "d.Ogg", "notes.txt", "e.mp3.bak"})
            dir.Write(name, std::string("x"));
        // A folder with a supported extension is no file to show.
        std::filesystem::create_directory(dir.path() + "/f.mp3");
    }
    std::string In(const std::string& name) const { return dir.path() + "/" + name; }

    testsupport::TempDir dir;
};

} // namespace

TEST_F(FolderBrowserTest, ListsTheSupportedFilesSortedWithoutRegardToCase) {
    std::vector<std::string> expected = {In("a.mp3"), In("b.wav"), In("C.FLAC"), In("d.Ogg")};
    EXPECT_EQ(expected, FolderBrowser::SupportedFiles(dir.path() + "/"));
}

TEST_F(FolderBrowserTest, KeysMoveThroughTheListAndStopAtItsEnds) {
    struct Case {
        const char* shown;
        Key key;
        const char* target; // nullptr: nothing happens
    } cases[] = {
        {"a.mp3", Key::PageDown, "b.wav"},
        {"a.mp3", Key::PageUp, nullptr},
        {"a.mp3", Key::Home, nullptr},
        {"a.mp3", Key::End, "d.Ogg"},
        {"d.Ogg", Key::PageDown, nullptr},
        {"d.Ogg", Key::PageUp, "C.FLAC"},
        {"d.Ogg", Key::End, nullptr},
        {"C.FLAC", Key::Home, "a.mp3"},
        // A name typed in another letter case is not found in the list; End and Home still go.
        {"A.MP3", Key::PageDown, nullptr},
        {"A.MP3", Key::End, "d.Ogg"},
        {"D.OGG", Key::End, nullptr},
        {"missing.mp3", Key::Home, "a.mp3"},
    };
    for (const Case& c : cases) {
        std::optional<std::string> target = FolderBrowser::Target(In(c.shown), c.key);
        if (c.target)
            EXPECT_EQ(In(c.target), target.value_or("(none)")) << c.shown;
        else
            EXPECT_FALSE(target) << c.shown << " -> " << *target;
    }
}

TEST_F(FolderBrowserTest, OneSupportedFileLeadsNowhere) {
    testsupport::TempDir single;
    const std::string only = single.Write("only.mp3", std::string("x"));
    single.Write("cover.jpg", std::string("x"));
    for (Key key : {Key::PageUp, Key::PageDown, Key::Home, Key::End})
        EXPECT_FALSE(FolderBrowser::Target(only, key));
    EXPECT_FALSE(FolderBrowser::Target("/no/such/folder/a.mp3", Key::Home));
}

TEST_F(FolderBrowserTest, APathWithoutFolderBrowsesTheCurrentFolder) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    std::optional<std::string> next = FolderBrowser::Target("a.mp3", Key::PageDown);
    std::filesystem::current_path(previous);
    EXPECT_EQ("b.wav", next.value_or("(none)"));
}

TEST(FolderBrowsingKeysTest, TheWindowRestartsForTheNextFileAndSwallowsTheKey) {
    DialogTest test;
    const std::string first = test.files.Write("1.wav", guitest::PlainWave());
    const std::string second = test.files.Write("2.wav", guitest::PlainWave());
    CSonoprobeDlg& dialog = test.Open(first);
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("1000"));
    field->setCursorPosition(3);
    // Home at the first file: nothing happens, and the field does not move its cursor either.
    QTest::keyClick(field, Qt::Key_Home);
    EXPECT_TRUE(test.starts.empty());
    EXPECT_EQ(3, field->cursorPosition());
    QTest::keyClick(field, Qt::Key_PageDown);
    ASSERT_EQ(1u, test.starts.size());
    EXPECT_EQ(QStringList{QString::fromStdString(second)}, test.starts[0]);
    EXPECT_FALSE(dialog.isVisible());
}
