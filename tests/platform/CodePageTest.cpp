#include "platform/CodePage.h"
#include "platform/NumberFormat.h"
#include "tests/platform/ScopedEnvironment.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using platform::DecodeCodePage;
using platform::EncodeCodePage;
using testsupport::ScopedEnvironment;

namespace {

// Leaves only LANG deciding the locale.
std::unique_ptr<ScopedEnvironment> LocaleFromLang(const char* lang) {
    return std::make_unique<ScopedEnvironment>(
        std::initializer_list<std::pair<const char*, const char*>>{
            {"LC_ALL", nullptr}, {"LC_CTYPE", nullptr}, {"LC_NUMERIC", nullptr}, {"LANG", lang}});
}

} // namespace

TEST(CodePage, DecodesWindowsCodePages) {
    EXPECT_EQ(DecodeCodePage("\xCF\xF0\xE8\xE2\xE5\xF2", 1251), u"Привет");
    EXPECT_EQ(DecodeCodePage("Caf\xE9 \x80\x93\x94", 1252), u"Café €“”");
    EXPECT_EQ(DecodeCodePage("\x93\xFA\x96\x7B\x8C\xEA", 932), u"日本語");
    EXPECT_EQ(DecodeCodePage("\xE0\xE1", 1250), u"ŕá");
    EXPECT_EQ(DecodeCodePage("\xD0\x9F\xD1\x80", 65001), u"Пр");
    EXPECT_EQ(DecodeCodePage("", 1251), u"");
}

TEST(CodePage, EncodesWithBestFit) {
    EXPECT_EQ(EncodeCodePage(u"Привет", 1251), "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(EncodeCodePage(u"“quotes” €", 1252), "\x93quotes\x94 \x80");
    EXPECT_EQ(EncodeCodePage(u"日本語", 932), "\x93\xFA\x96\x7B\x8C\xEA");
    // No such letter in the code page: the nearest one, else the default character.
    EXPECT_EQ(EncodeCodePage(u"Ā", 1252), "A");
    EXPECT_EQ(EncodeCodePage(u"Łódź Erdős", 1252), "?\xF3"
                                                   "dz Erdos");
    EXPECT_EQ(EncodeCodePage(u"ǖ", 1252), "\xFC"); // ü with macron: the ü is there
    EXPECT_EQ(EncodeCodePage(u"Ā", 1251), "A");
    EXPECT_EQ(EncodeCodePage(u"日", 1252), "?");
}

TEST(CodePage, UnknownCodePageIsRefused) {
    EXPECT_FALSE(platform::IsCodePageSupported(12345));
    EXPECT_TRUE(platform::IsCodePageSupported(1251));
    try {
        DecodeCodePage("abc", 12345);
        FAIL() << "no error";
    } catch (const platform::ConversionError& error) {
        EXPECT_EQ(error.codePage(), 12345u);
    }
    EXPECT_THROW(EncodeCodePage(u"abc", 12345), platform::ConversionError);
    EXPECT_THROW(DecodeCodePage("", 12345), platform::ConversionError);
}

TEST(CodePage, CodePageZeroFollowsTheLocale) {
    struct Case {
        const char* lang;
        uint32_t codePage;
    };
    for (const Case& c :
         {Case{"ru_RU.UTF-8", 1251}, Case{"uk_UA", 1251}, Case{"pl_PL.UTF-8", 1250},
          Case{"de_DE.UTF-8", 1252}, Case{"C", 1252}, Case{nullptr, 1252}, Case{"ja_JP.UTF-8", 932},
          Case{"zh_TW.UTF-8", 950}, Case{"zh_CN.UTF-8", 936}, Case{"el_GR", 1253}}) {
        auto env = LocaleFromLang(c.lang);
        EXPECT_EQ(platform::AnsiCodePage(), c.codePage) << (c.lang ? c.lang : "unset");
    }
    auto env = LocaleFromLang("ru_RU.UTF-8");
    EXPECT_EQ(DecodeCodePage("\xCF\xF0\xE8", 0), u"При");
    EXPECT_EQ(EncodeCodePage(u"При", 0), "\xCF\xF0\xE8");
    ScopedEnvironment all{{"LC_ALL", "de_DE.UTF-8"}};
    EXPECT_EQ(DecodeCodePage("\xE9", 0), u"é"); // LC_ALL wins over LANG
}

TEST(CodePage, Utf8AndLocaleOutput) {
    const std::u16string text = u"Привет, \U0001F3B5 мир";
    EXPECT_EQ(platform::Utf8ToUtf16(platform::Utf16ToUtf8(text)), text);
    EXPECT_EQ(platform::Utf16ToUtf8(u"Я"), "\xD0\xAF");
    // This process never called setlocale: a C locale, which counts as UTF-8.
    EXPECT_EQ(platform::ToLocaleCharset(u"Я"), "\xD0\xAF");
}

TEST(NumberFormat, GroupsDigitsAsTheLocaleDoes) {
    struct Case {
        const char* lang;
        const char16_t* expected;
    };
    for (const Case& c :
         {Case{"C", u"10,584,044.00"}, Case{nullptr, u"10,584,044.00"},
          Case{"en_US.UTF-8", u"10,584,044.00"}, Case{"de_DE.UTF-8", u"10.584.044,00"}}) {
        auto env = LocaleFromLang(c.lang);
        EXPECT_EQ(platform::FormatLocaleNumber(u"10584044"), c.expected)
            << (c.lang ? c.lang : "unset");
    }
    auto env = LocaleFromLang("C");
    {
        ScopedEnvironment numeric{{"LC_NUMERIC", "de_DE.UTF-8"}};
        EXPECT_EQ(platform::FormatLocaleNumber(u"1234"), u"1.234,00");
    }
    EXPECT_EQ(platform::FormatLocaleNumber(u"0"), u"0.00");
    EXPECT_EQ(platform::FormatLocaleNumber(u"18446744073709551615"),
              u"18,446,744,073,709,551,615.00");
    EXPECT_EQ(platform::FormatLocaleNumber(std::u16string(60, u'9')).size(), 60u + 19u + 3u);
    EXPECT_EQ(platform::FormatLocaleNumber(u"12a"), u"");
    EXPECT_EQ(platform::FormatLocaleNumber(u"-5"), u"");
    EXPECT_EQ(platform::FormatLocaleNumber(u""), u"");
}
