#include "platform/Profile.h"
#include "platform/CodePage.h"
#include "platform/Registry.h"
#include "tests/platform/ScopedEnvironment.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::Hive;
using platform::Profile;
using platform::RegistryValue;
namespace Registry = platform::Registry;
using testsupport::ScopedConfigHome;
using testsupport::TempDir;

namespace {

std::string ReadText(const std::string& path) {
    testsupport::Bytes bytes = testsupport::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

constexpr int Absent = 16777215;

} // namespace

TEST(Profile, LivesUnderTheCompanyAndApplicationKey) {
    ScopedConfigHome home;
    Profile profile(u"Orvane", u"Sonoprobe");
    EXPECT_EQ(profile.SectionKey(u"Settings"), u"Software\\Orvane\\Sonoprobe\\Settings");

    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"FontSize", 9), 9);
    ASSERT_TRUE(profile.WriteProfileInt(u"Settings", u"XPosition", -5));
    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"XPosition", 0), -5);
    EXPECT_EQ(Registry::GetValue(Hive::CurrentUser, u"Software\\Orvane\\Sonoprobe\\Settings",
                                 u"XPosition"),
              RegistryValue(0xFFFFFFFBu));

    EXPECT_EQ(profile.GetProfileString(u"Settings", u"Console delimiter", u"none"), u"none");
    ASSERT_TRUE(profile.WriteProfileString(u"Settings", u"Console delimiter binary", u"3B"));
    EXPECT_EQ(profile.GetProfileString(u"settings", u"console delimiter binary", u""), u"3B");

    // A value of the other type reads as missing, as the class library's functions do.
    EXPECT_EQ(profile.GetProfileInt(u"Settings", u"Console delimiter binary", 7), 7);
    EXPECT_EQ(profile.GetProfileString(u"Settings", u"XPosition", u"dflt"), u"dflt");

    // Another program keeps its own settings.
    Profile other(u"Orvane", u"Other");
    EXPECT_EQ(other.GetProfileInt(u"Settings", u"XPosition", 3), 3);
}

TEST(PrivateProfile, ReadsValuesAsTheSystemReaderDoes) {
    ScopedConfigHome home;
    TempDir dir;
    std::string ini = dir.Write("Sonoprobe.ini", "; FontSize=1\r\n"
                                                 "[Other]\r\n"
                                                 "FontSize=99\r\n"
                                                 "[ Settings ]\r\n"
                                                 "  fontsize = 11  \r\n"
                                                 ";AlwaysOnTop=1\r\n"
                                                 "Quoted=\"  spaced  \"\r\n"
                                                 "Single='x'\r\n"
                                                 "Lopsided=\"x'\r\n"
                                                 "Empty=\r\n"
                                                 "Negative=-42\r\n"
                                                 "Trailing=12abc\r\n"
                                                 "Hex=0x10\r\n"
                                                 "Word=abc\r\n"
                                                 "Minus=-\r\n"
                                                 "Wraps=4294967297\r\n"
                                                 "Кириллица=значение\r\n"
                                                 "[Last]\r\n"
                                                 "NoNewline=5");
    struct IntCase {
        const char16_t* key;
        int expected;
    };
    for (const IntCase& c : std::initializer_list<IntCase>{{u"FontSize", 11},
                                                           {u"FONTSIZE", 11},
                                                           {u"AlwaysOnTop", Absent},
                                                           {u"Empty", Absent},
                                                           {u"Negative", -42},
                                                           {u"Trailing", 12},
                                                           {u"Hex", 0},
                                                           {u"Word", Absent},
                                                           {u"Minus", Absent},
                                                           {u"Wraps", 1},
                                                           {u"Missing", Absent}})
        EXPECT_EQ(platform::GetPrivateProfileInt(u"Settings", c.key, Absent, ini), c.expected)
            << testsupport::U8(c.key);
    EXPECT_EQ(platform::GetPrivateProfileInt(u"Last", u"NoNewline", Absent, ini), 5);
    EXPECT_EQ(platform::GetPrivateProfileInt(u"Nowhere", u"FontSize", Absent, ini), Absent);
    EXPECT_EQ(platform::GetPrivateProfileInt(u"Settings", u"FontSize", 4, dir.path() + "/none.ini"),
              4);

    auto text = [&](const char16_t* key) {
        return platform::GetPrivateProfileString(u"settings", key, u"<default>", ini);
    };
    EXPECT_EQ(text(u"Quoted"), u"  spaced  ");
    EXPECT_EQ(text(u"Single"), u"x");
    EXPECT_EQ(text(u"Lopsided"), u"\"x'");
    EXPECT_EQ(text(u"Empty"), u"");
    EXPECT_EQ(text(u"кириллица"), u"значение");
    EXPECT_EQ(text(u"Missing"), u"<default>");
}

TEST(PrivateProfile, WritesChangeOnlyTheirLine) {
    ScopedConfigHome home;
    TempDir dir;
    std::string ini = dir.Write("Sonoprobe.ini", "; keep me\r\n"
                                                 "[Settings]\r\n"
                                                 "FontSize = 11\r\n"
                                                 "\r\n"
                                                 "[Other]\r\n"
                                                 "A=1\r\n");
    ASSERT_EQ(chmod(ini.c_str(), 0640), 0);
    ASSERT_TRUE(platform::WritePrivateProfileString(u"Settings", u"FONTSIZE", u"10", ini));
    ASSERT_TRUE(platform::WritePrivateProfileString(u"SETTINGS", u"New", u"x", ini));
    ASSERT_TRUE(platform::WritePrivateProfileString(u"Third", u"K", u"v", ini));
    EXPECT_EQ(ReadText(ini), "; keep me\r\n"
                             "[Settings]\r\n"
                             "FontSize = 10\r\n"
                             "New=x\r\n"
                             "\r\n"
                             "[Other]\r\n"
                             "A=1\r\n"
                             "\r\n"
                             "[Third]\r\n"
                             "K=v\r\n");
    EXPECT_EQ(platform::GetPrivateProfileInt(u"Settings", u"FontSize", Absent, ini), 10);
    struct stat info {};
    ASSERT_EQ(stat(ini.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(PrivateProfile, FileSavedWithAByteOrderMarkWorksAndKeepsIt) {
    ScopedConfigHome home;
    TempDir dir;
    std::string ini = dir.Write("bom.ini", "\xEF\xBB\xBF[Settings]\r\nFontSize=11\r\n");
    EXPECT_EQ(platform::GetPrivateProfileInt(u"Settings", u"FontSize", Absent, ini), 11);
    ASSERT_TRUE(platform::WritePrivateProfileString(u"Settings", u"FontSize", u"12", ini));
    EXPECT_EQ(ReadText(ini), "\xEF\xBB\xBF[Settings]\r\nFontSize=12\r\n");
}

TEST(PrivateProfile, WritesCreateTheFileAndRefuseWhatALineCannotHold) {
    ScopedConfigHome home;
    TempDir dir;
    std::string ini = dir.path() + "/sub/folder/new.ini";
    ASSERT_TRUE(
        platform::WritePrivateProfileString(u"Settings", u"Update Inf", u"http://x/y", ini));
    EXPECT_EQ(ReadText(ini), "[Settings]\nUpdate Inf=http://x/y\n");

    std::string before = ReadText(ini);
    EXPECT_FALSE(platform::WritePrivateProfileString(u"Settings", u"a=b", u"1", ini));
    EXPECT_FALSE(platform::WritePrivateProfileString(u"Settings", u"Key", u"one\ntwo", ini));
    EXPECT_FALSE(platform::WritePrivateProfileString(u"Set]tings", u"Key", u"1", ini));
    EXPECT_FALSE(platform::WritePrivateProfileString(u"Settings", u"  ", u"1", ini));
    EXPECT_FALSE(platform::WritePrivateProfileString(u"", u"Key", u"1", ini));
    EXPECT_EQ(ReadText(ini), before);

    // A file that does not end in a line break gets its new line after a proper break.
    std::string bare = dir.Write("bare.ini", "[Settings]\nA=1");
    ASSERT_TRUE(platform::WritePrivateProfileString(u"Settings", u"B", u"2", bare));
    EXPECT_EQ(ReadText(bare), "[Settings]\nA=1\nB=2\n");
}

TEST(PrivateProfile, WritingThroughALinkKeepsTheLink) {
    ScopedConfigHome home;
    TempDir dir;
    std::string target = dir.Write("real.ini", "[Settings]\nA=1\n");
    std::string link = dir.path() + "/link.ini";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(platform::WritePrivateProfileString(u"Settings", u"A", u"2", link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadText(target), "[Settings]\nA=2\n");
}

TEST(PrivateProfile, ConcurrentWritersLoseNoKey) {
    ScopedConfigHome home;
    TempDir dir;
    std::string ini = dir.Write("race.ini", "; shared\n");
    constexpr int Processes = 4;
    constexpr int Writes = 25;
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < Processes; ++p) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(start[1]);
            char go;
            (void)!read(start[0], &go, 1);
            bool ok = true;
            for (int w = 0; w < Writes; ++w) {
                std::u16string key = platform::Utf8ToUtf16("k" + std::to_string(p * 100 + w));
                ok = platform::WritePrivateProfileString(u"S", key, key, ini) && ok;
            }
            _exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    close(start[0]);
    close(start[1]);
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int p = 0; p < Processes; ++p)
        for (int w = 0; w < Writes; ++w) {
            std::u16string key = platform::Utf8ToUtf16("k" + std::to_string(p * 100 + w));
            EXPECT_EQ(platform::GetPrivateProfileString(u"S", key, u"lost", ini), key);
        }
    EXPECT_EQ(ReadText(ini).rfind("; shared\n", 0), 0u);
}

TEST(PrivateProfile, ConfigFoldersFollowXdg) {
    {
        testsupport::ScopedEnvironment env{{"XDG_CONFIG_HOME", "/somewhere/config/"},
                                           {"HOME", "/home/user"}};
        EXPECT_EQ(platform::ConfigHome(), "/somewhere/config");
        EXPECT_EQ(platform::WinIniPath(), "/somewhere/config/Orvane/win.ini");
    }
    {
        testsupport::ScopedEnvironment env{{"XDG_CONFIG_HOME", nullptr}, {"HOME", "/home/user"}};
        EXPECT_EQ(platform::ConfigHome(), "/home/user/.config");
    }
    {
        // A relative value is not a valid setting and is ignored.
        testsupport::ScopedEnvironment env{{"XDG_CONFIG_HOME", "relative"}, {"HOME", "/home/u"}};
        EXPECT_EQ(platform::ConfigHome(), "/home/u/.config");
    }
}
