#include "viewer/ShellVerbs.h"
#include "platform/CodePage.h"
#include "platform/Registry.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace platform;
using testsupport::U8;
using viewer::ShellVerbs;

namespace {

std::u16string Command(const std::u16string& key) {
    auto value = Registry::GetValue(Hive::ClassesRoot, key, u"");
    return value && std::holds_alternative<std::u16string>(*value)
               ? std::get<std::u16string>(*value)
               : u"<none>";
}

std::u16string AssociationKey(const std::u16string& extension) {
    return u"SystemFileAssociations\\" + extension + u"\\Shell\\Sonoprobe\\command";
}

ino_t Inode(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

std::string ReadText(const std::string& path) {
    testsupport::Bytes bytes = testsupport::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(ShellVerbs, EveryExtensionGetsTheVerbAndFileTypesGetItToo) {
    testsupport::ScopedConfigHome home;
    Registry::SetValue(Hive::ClassesRoot, u".mp3", u"", std::u16string(u"mp3file"));
    Registry::CreateKey(Hive::ClassesRoot, u".ogg"); // no file type
    Registry::SetValue(Hive::ClassesRoot, u".wav", u"", std::u16string(u""));
    const ShellVerbs verbs("/opt/sono/Sonoprobe");
    EXPECT_EQ(u"\"/opt/sono/Sonoprobe\" \"%1\"", verbs.VerbCommand());
    verbs.Refresh();
    for (const char16_t* extension : ShellVerbs::AssociatedExtensions)
        EXPECT_EQ(verbs.VerbCommand(), Command(AssociationKey(extension))) << U8(extension);
    EXPECT_EQ(verbs.VerbCommand(), Command(u"mp3file\\shell\\Sonoprobe\\command"));
    EXPECT_EQ(std::vector<std::u16string>{u"command"},
              Registry::SubKeys(Hive::ClassesRoot, u"mp3file\\shell\\Sonoprobe"));
    EXPECT_FALSE(Registry::GetValue(Hive::ClassesRoot, u"mp3file\\shell\\Sonoprobe", u""))
        << "the verb key has no value, so the shell shows its name";
    // Only the extension that names a file type got a file-type verb.
    EXPECT_EQ((std::vector<std::u16string>{u".mp3", u".ogg", u".wav", u"mp3file",
                                           u"SystemFileAssociations"}),
              Registry::SubKeys(Hive::ClassesRoot, u""));
}

TEST(ShellVerbs, OnlyChangedCommandsAreRewritten) {
    testsupport::ScopedConfigHome home;
    const ShellVerbs verbs("/opt/sono/Sonoprobe");
    verbs.Refresh();
    const std::string hive = Registry::HiveFilePath(Hive::ClassesRoot);
    const std::string entry = ShellVerbs::DesktopEntryPath();
    const ino_t hiveBefore = Inode(hive);
    const ino_t entryBefore = Inode(entry);
    verbs.Refresh();
    EXPECT_EQ(hiveBefore, Inode(hive)) << "nothing to change: the hive is not replaced";
    EXPECT_EQ(entryBefore, Inode(entry));

    // A command that differs only in letter case is rewritten.
    Registry::SetValue(Hive::ClassesRoot, AssociationKey(u".flac"), u"",
                       std::u16string(u"\"/OPT/SONO/Sonoprobe\" \"%1\""));
    verbs.Refresh();
    EXPECT_EQ(verbs.VerbCommand(), Command(AssociationKey(u".flac")));

    // The program moved.
    const ShellVerbs moved("/home/me/bin/Sonoprobe");
    moved.Refresh();
    EXPECT_EQ(moved.VerbCommand(), Command(AssociationKey(u".wv")));
    EXPECT_NE(std::string::npos, ReadText(entry).find("Exec=\"/home/me/bin/Sonoprobe\" %f"));
}

TEST(ShellVerbs, DesktopEntryOffersTheProgramForAudioTypes) {
    testsupport::ScopedConfigHome home;
    EXPECT_EQ(home.dataPath() + "/applications/orvane-sonoprobe.desktop",
              ShellVerbs::DesktopEntryPath());
    // Characters that the Exec line must escape: space, %, $, quote and backslash.
    const ShellVerbs verbs(R"(/tmp/a b/50%$"\x/Sonoprobe)");
    verbs.Refresh();
    const std::string text = ReadText(ShellVerbs::DesktopEntryPath());
    EXPECT_EQ(0u, text.find("[Desktop Entry]\n"));
    EXPECT_NE(std::string::npos, text.find("\nType=Application\n"));
    EXPECT_NE(std::string::npos, text.find("\nName=Sonoprobe\n"));
    EXPECT_NE(std::string::npos, text.find(R"(Exec="/tmp/a b/50%%\\$\\"\\\\x/Sonoprobe" %f)"))
        << text;
    for (const char* type : {"audio/mpeg;", "audio/flac;", "audio/ogg;", "audio/x-wav;",
                             "audio/ac3;", "audio/vnd.dts;", "audio/x-ape;", "audio/x-wavpack;"})
        EXPECT_NE(std::string::npos, text.find(type)) << type;
}

TEST(ShellVerbs, OnlyAnAbsoluteDataHomeCounts) {
    testsupport::ScopedConfigHome home;
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_DATA_HOME", "relative/data", 1);
    EXPECT_EQ("/home/someone/.local/share/applications/orvane-sonoprobe.desktop",
              ShellVerbs::DesktopEntryPath());
    setenv("XDG_DATA_HOME", "", 1);
    EXPECT_EQ("/home/someone/.local/share/applications/orvane-sonoprobe.desktop",
              ShellVerbs::DesktopEntryPath());
    unsetenv("HOME");
    EXPECT_EQ("", ShellVerbs::DesktopEntryPath()) << "nowhere to write: no entry";
    if (oldHome)
        setenv("HOME", savedHome.c_str(), 1);
}
