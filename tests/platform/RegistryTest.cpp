#include "platform/Registry.h"
#include "platform/CodePage.h"
#include "platform/RegistryHive.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::Hive;
using platform::RegistryHive;
using platform::RegistryValue;
namespace Registry = platform::Registry;
using testsupport::ScopedConfigHome;
using namespace std::string_literals;

namespace {

const std::u16string SettingsKey = u"Software\\Orvane\\Sonoprobe\\Settings";

std::string ReadText(const std::string& path) {
    testsupport::Bytes bytes = testsupport::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::u16string Units(std::initializer_list<char16_t> units) {
    return std::u16string(units);
}

} // namespace

TEST(Registry, ValuesOfEveryKindComeBackFromTheFile) {
    ScopedConfigHome home;
    struct Case {
        std::u16string name;
        RegistryValue value;
    };
    const std::vector<Case> cases = {
        {u"", u"the default value"},
        {u"Zero", 0u},
        {u"All bits", 0xFFFFFFFFu},
        {u"High bit", 0x80000000u},
        {u"Empty", u""},
        {u"Quotes \"and\" \\backslashes\\", u"C:\\Path\\\"quoted\"\\"},
        {u"Line\nbreaks", u"one\ntwo\r\nthree\tend\n"},
        {u"Controls", Units({1, 0x1F, 0x7F, 0})},
        {u"Unpaired surrogates", Units({u'a', 0xD800, u'b', 0xDC00})},
        {u"Low then high", Units({0xDC01, 0xD801})},
        {u"Paired surrogates", u"\U0001F3B5 music"},
        {u"Кириллица", u"Привет, мир"},
        {u"Looks like syntax", u"\\u0041 \\n dword:1 \"x\"=\"y\" [key]"},
        {u"  spaced  ", u"  leading and trailing  "},
        {u"@", u"="},
        {u"; not a comment", u"# nor this"},
    };
    for (const Case& c : cases)
        ASSERT_TRUE(Registry::SetValue(Hive::CurrentUser, SettingsKey, c.name, c.value))
            << testsupport::U8(c.name);
    for (const Case& c : cases) {
        std::optional<RegistryValue> read =
            Registry::GetValue(Hive::CurrentUser, SettingsKey, c.name);
        ASSERT_TRUE(read.has_value()) << testsupport::U8(c.name);
        EXPECT_EQ(*read, c.value) << testsupport::U8(c.name);
    }
    EXPECT_EQ(Registry::ValueNames(Hive::CurrentUser, SettingsKey).size(), cases.size());
    std::string text = ReadText(Registry::HiveFilePath(Hive::CurrentUser));
    EXPECT_EQ(RegistryHive::Parse(text).DamagedLines(), 0u);
    // The file is written afresh by every change: the text must reproduce itself.
    EXPECT_EQ(RegistryHive::Parse(text).ToText("HKEY_CURRENT_USER"), text);
}

TEST(Registry, HivesArePlainTextFilesUnderTheConfigFolder) {
    ScopedConfigHome home;
    ASSERT_TRUE(Registry::SetValue(Hive::CurrentUser, SettingsKey, u"FontSize", 10u));
    ASSERT_TRUE(
        Registry::SetValue(Hive::CurrentUser, SettingsKey, u"Console delimiter binary", u"0D0A"));
    ASSERT_TRUE(Registry::SetValue(Hive::ClassesRoot, u".mp3", u"", u"Sonoprobe.File"));

    EXPECT_EQ(Registry::HiveFilePath(Hive::CurrentUser),
              home.path() + "/Orvane/registry/current_user.reg");
    std::string user = ReadText(Registry::HiveFilePath(Hive::CurrentUser));
    EXPECT_NE(user.find("[Software\\Orvane\\Sonoprobe\\Settings]\n"
                        "\"Console delimiter binary\"=\"0D0A\"\n"
                        "\"FontSize\"=dword:0000000a\n"),
              std::string::npos)
        << user;
    std::string classes = ReadText(Registry::HiveFilePath(Hive::ClassesRoot));
    EXPECT_NE(classes.find("[.mp3]\n@=\"Sonoprobe.File\"\n"), std::string::npos) << classes;
    EXPECT_FALSE(Registry::GetValue(Hive::CurrentUser, u".mp3", u""));

    struct stat info {};
    ASSERT_EQ(stat(Registry::HiveFilePath(Hive::CurrentUser).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(Registry, KeysAndNamesIgnoreAsciiCase) {
    ScopedConfigHome home;
    ASSERT_TRUE(Registry::CreateKey(Hive::CurrentUser, u"Software\\Orvane"));
    ASSERT_TRUE(Registry::SetValue(Hive::CurrentUser, u"SOFTWARE\\ORVANE\\App", u"Value", 1u));
    ASSERT_TRUE(Registry::SetValue(Hive::CurrentUser, u"software\\orvane\\APP", u"VALUE", 2u));

    EXPECT_EQ(Registry::GetValue(Hive::CurrentUser, u"Software\\Orvane\\app", u"value"),
              RegistryValue(2u));
    // One value, one key: the later writes found the earlier ones and kept their spelling.
    EXPECT_EQ(Registry::ValueNames(Hive::CurrentUser, u"software\\orvane\\app"),
              std::vector<std::u16string>{u"Value"});
    EXPECT_EQ(Registry::SubKeys(Hive::CurrentUser, u""), std::vector<std::u16string>{u"Software"});
    EXPECT_EQ(Registry::SubKeys(Hive::CurrentUser, u"SOFTWARE\\orvane"),
              std::vector<std::u16string>{u"App"});
    // Only ASCII letters fold.
    ASSERT_TRUE(Registry::SetValue(Hive::CurrentUser, u"Ключ", u"", 1u));
    EXPECT_FALSE(Registry::KeyExists(Hive::CurrentUser, u"КЛЮЧ"));
    EXPECT_TRUE(Registry::KeyExists(Hive::CurrentUser, u"Ключ"));
}

TEST(Registry, SubKeysValueNamesAndDeleteKeyTree) {
    ScopedConfigHome home;
    for (const char16_t* key : {u"A\\B\\C\\D", u"A\\b2", u"AB", u"A!", u"A\\B\\C2"})
        ASSERT_TRUE(Registry::CreateKey(Hive::CurrentUser, key));
    ASSERT_TRUE(Registry::SetValue(Hive::CurrentUser, u"A\\B", u"x", u"1"));
    ASSERT_TRUE(Registry::SetValue(Hive::CurrentUser, u"A\\B", u"y", 2u));

    EXPECT_TRUE(Registry::KeyExists(Hive::CurrentUser, u"a\\b\\c")); // a parent only
    EXPECT_FALSE(Registry::KeyExists(Hive::CurrentUser, u"A\\B\\C\\D\\E"));
    EXPECT_EQ(Registry::SubKeys(Hive::CurrentUser, u"a"),
              (std::vector<std::u16string>{u"B", u"b2"}));
    EXPECT_EQ(Registry::SubKeys(Hive::CurrentUser, u""),
              (std::vector<std::u16string>{u"A", u"A!", u"AB"}));
    EXPECT_EQ(Registry::ValueNames(Hive::CurrentUser, u"a\\B"),
              (std::vector<std::u16string>{u"x", u"y"}));
    EXPECT_TRUE(Registry::SubKeys(Hive::CurrentUser, u"Missing").empty());

    EXPECT_TRUE(Registry::DeleteValue(Hive::CurrentUser, u"A\\B", u"X"));
    EXPECT_FALSE(Registry::DeleteValue(Hive::CurrentUser, u"A\\B", u"X"));
    EXPECT_FALSE(Registry::DeleteValue(Hive::CurrentUser, u"Missing", u"y"));

    EXPECT_TRUE(Registry::DeleteKeyTree(Hive::CurrentUser, u"a\\b"));
    EXPECT_FALSE(Registry::KeyExists(Hive::CurrentUser, u"A\\B"));
    EXPECT_FALSE(Registry::KeyExists(Hive::CurrentUser, u"A\\B\\C\\D"));
    EXPECT_FALSE(Registry::GetValue(Hive::CurrentUser, u"A\\B", u"y"));
    EXPECT_TRUE(Registry::KeyExists(Hive::CurrentUser, u"A\\b2"));
    EXPECT_TRUE(Registry::KeyExists(Hive::CurrentUser, u"AB"));
    EXPECT_TRUE(Registry::KeyExists(Hive::CurrentUser, u"A!"));
    EXPECT_FALSE(Registry::DeleteKeyTree(Hive::CurrentUser, u"A\\B"));
    EXPECT_FALSE(Registry::DeleteKeyTree(Hive::CurrentUser, u""));
    // A key that exists only as a parent goes with its children.
    EXPECT_TRUE(Registry::DeleteKeyTree(Hive::CurrentUser, u"A"));
    EXPECT_EQ(Registry::SubKeys(Hive::CurrentUser, u""),
              (std::vector<std::u16string>{u"A!", u"AB"}));
}

TEST(Registry, RefusesKeyPathsItCannotStore) {
    ScopedConfigHome home;
    std::u16string deepest;
    for (int level = 0; level < 512; ++level)
        deepest += level ? u"\\k" : u"k";
    const std::vector<std::u16string> invalid = {
        u"a\\\\b",        u"\\a", u"a\\", u"a\nb", Units({u'a', 0xD800}), std::u16string(256, u'k'),
        deepest + u"\\k",
    };
    for (const std::u16string& key : invalid) {
        EXPECT_FALSE(Registry::SetValue(Hive::CurrentUser, key, u"v", 1u)) << testsupport::U8(key);
        EXPECT_FALSE(Registry::CreateKey(Hive::CurrentUser, key)) << testsupport::U8(key);
        EXPECT_FALSE(Registry::KeyExists(Hive::CurrentUser, key)) << testsupport::U8(key);
    }
    EXPECT_FALSE(std::filesystem::exists(Registry::HiveFilePath(Hive::CurrentUser)));
    ASSERT_TRUE(Registry::SetValue(Hive::CurrentUser, deepest, u"v", 1u));
    ASSERT_TRUE(Registry::SetValue(Hive::CurrentUser, std::u16string(255, u'k'), u"v", 2u));
    EXPECT_EQ(Registry::GetValue(Hive::CurrentUser, deepest, u"v"), RegistryValue(1u));
}

TEST(Registry, DamagedHiveKeepsWhatCanBeReadAndSavesTheRest) {
    ScopedConfigHome home;
    const std::string damaged = "garbage line\n"
                                "\"Orphan\"=dword:00000001\n"
                                "[Software\\Good]\n"
                                "\"Kept\"=dword:00000005\n"
                                "\"Too long\"=dword:123456789\n"
                                "\"Unterminated\"=\"abc\n"
                                "\"Bad escape\"=\"\\q\"\n"
                                "\"Bad UTF-8\"=\"\xC0\xAF\"\n"
                                "\"Trailing\"=\"x\" junk\n"
                                "[Bad\\\\Path]\n"
                                "\"Lost\"=\"x\"\n"
                                "\xFF\xFE\x00 binary\n"
                                "[Software\\Good]\r\n"
                                "  \"Second\" = \"y\"  \r\n"s;
    std::filesystem::create_directories(home.path() + "/Orvane/registry");
    std::string path = Registry::HiveFilePath(Hive::CurrentUser);
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(file);
        std::fwrite(damaged.data(), 1, damaged.size(), file);
        std::fclose(file);
    }
    EXPECT_EQ(Registry::GetValue(Hive::CurrentUser, u"Software\\Good", u"Kept"), RegistryValue(5u));
    EXPECT_EQ(Registry::GetValue(Hive::CurrentUser, u"Software\\Good", u"Second"),
              RegistryValue(u"y"));
    for (const char16_t* name : {u"Orphan", u"Too long", u"Unterminated", u"Bad escape",
                                 u"Bad UTF-8", u"Trailing", u"Lost"})
        EXPECT_FALSE(Registry::GetValue(Hive::CurrentUser, u"Software\\Good", name))
            << testsupport::U8(name);
    EXPECT_EQ(RegistryHive::Parse(damaged).DamagedLines(), 10u);

    ASSERT_TRUE(Registry::SetValue(Hive::CurrentUser, u"Software\\Good", u"New", 1u));
    EXPECT_EQ(ReadText(path + ".damaged"), damaged);
    std::string repaired = ReadText(path);
    EXPECT_EQ(RegistryHive::Parse(repaired).DamagedLines(), 0u);
    EXPECT_EQ(Registry::ValueNames(Hive::CurrentUser, u"Software\\Good"),
              (std::vector<std::u16string>{u"Kept", u"New", u"Second"}));
}

TEST(Registry, HostileHiveTextIsParsedSafely) {
    // A path far deeper and longer than allowed, and a huge line of brackets.
    std::string deep = "[";
    for (int i = 0; i < 200000; ++i)
        deep += "a\\";
    deep += "a]\n\"v\"=\"x\"\n";
    RegistryHive hive =
        RegistryHive::Parse(deep + std::string(4 << 20, '[') + "\n" + "[ok]\n\"big\"=\"" +
                            std::string(1 << 20, 'x') + "\"\n");
    EXPECT_EQ(hive.DamagedLines(), 3u);
    EXPECT_EQ(hive.SubKeys(u""), std::vector<std::u16string>{u"ok"});
    const RegistryValue* big = hive.Find(u"ok", u"big");
    ASSERT_TRUE(big);
    EXPECT_EQ(std::get<std::u16string>(*big).size(), size_t{1} << 20);

    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::string noise(static_cast<size_t>(random() % 2000), '\0');
        for (char& c : noise) // mostly syntax characters, to reach deep into the parser
            c = "[]\\\"=@:dword0123456789abcdefu\n\r\t \x80\xC3\xFF"[random() % 36];
        RegistryHive parsed = RegistryHive::Parse(noise);
        // Whatever was understood must survive a write and a read unchanged.
        std::string text = parsed.ToText("x");
        EXPECT_EQ(RegistryHive::Parse(text).ToText("x"), text);
        EXPECT_EQ(RegistryHive::Parse(text).DamagedLines(), 0u);
    }
}

TEST(Registry, UnreadableHiveGivesNothingAndRefusesChanges) {
    ScopedConfigHome home;
    std::filesystem::create_directories(Registry::HiveFilePath(Hive::CurrentUser));
    EXPECT_FALSE(Registry::GetValue(Hive::CurrentUser, SettingsKey, u"FontSize"));
    EXPECT_FALSE(Registry::KeyExists(Hive::CurrentUser, SettingsKey));
    EXPECT_FALSE(Registry::SetValue(Hive::CurrentUser, SettingsKey, u"FontSize", 9u));
    EXPECT_TRUE(std::filesystem::is_directory(Registry::HiveFilePath(Hive::CurrentUser)));
}

TEST(Registry, ConcurrentWritersLoseNoValue) {
    ScopedConfigHome home;
    constexpr int Processes = 4;
    constexpr int Writes = 50;
    const std::u16string key = u"Software\\Orvane\\Race";
    auto name = [](int process, int write) {
        return u"p" + platform::Utf8ToUtf16(std::to_string(process)) + u"w" +
               platform::Utf8ToUtf16(std::to_string(write));
    };
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < Processes; ++p) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(start[1]);
            char go;
            (void)!read(start[0], &go, 1); // returns when the parent closes its end
            bool ok = true;
            for (int w = 0; w < Writes; ++w)
                ok = Registry::SetValue(Hive::CurrentUser, key, name(p, w),
                                        static_cast<uint32_t>(p * 1000 + w)) &&
                     ok;
            _exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    close(start[0]);
    close(start[1]);

    // Meanwhile every read sees a whole hive, never a half-written one.
    size_t running = children.size();
    std::string path = Registry::HiveFilePath(Hive::CurrentUser);
    while (running > 0) {
        std::string text = ReadText(path);
        EXPECT_EQ(RegistryHive::Parse(text).DamagedLines(), 0u);
        EXPECT_TRUE(text.empty() || text.back() == '\n');
        for (pid_t& child : children) {
            int status = 0;
            if (child > 0 && waitpid(child, &status, WNOHANG) == child) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                child = 0;
                --running;
            }
        }
    }
    EXPECT_EQ(Registry::ValueNames(Hive::CurrentUser, key).size(), size_t{Processes * Writes});
    for (int p = 0; p < Processes; ++p)
        for (int w = 0; w < Writes; ++w)
            EXPECT_EQ(Registry::GetValue(Hive::CurrentUser, key, name(p, w)),
                      RegistryValue(static_cast<uint32_t>(p * 1000 + w)));
}
