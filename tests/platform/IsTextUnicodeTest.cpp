#include "platform/UnicodeTest.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using platform::IS_TEXT_UNICODE_ASCII16;
using platform::IS_TEXT_UNICODE_STATISTICS;
using testsupport::Bytes;

namespace {

constexpr int BothTests = IS_TEXT_UNICODE_ASCII16 | IS_TEXT_UNICODE_STATISTICS;

Bytes Utf16LE(const std::u16string& text) {
    Bytes bytes;
    for (char16_t unit : text)
        testsupport::PutLE(bytes, unit, 2);
    return bytes;
}

Bytes Raw(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// The whole text with a zero terminator of one UTF-16 unit.
bool WholeText(Bytes bytes, int tests = BothTests) {
    bytes.push_back(0);
    bytes.push_back(0);
    return platform::IsTextUnicode(bytes.data(), bytes.size(), tests);
}

// As the tag reader asks: its buffer holds the text, a zero byte and then `after`; it tests
// the bytes before the first zero byte and the two bytes that follow.
bool AsTagReaderAsks(Bytes bytes, uint8_t after = 0, int tests = BothTests) {
    bytes.push_back(0);
    bytes.push_back(after);
    bytes.resize(bytes.size() + 16, after);
    size_t k = 0;
    while (bytes[k] != 0)
        ++k;
    return platform::IsTextUnicode(bytes.data(), k + 2, tests);
}

} // namespace

TEST(IsTextUnicode, RecognisesUtf16TextOfAlphabeticScripts) {
    struct Case {
        const char* name;
        std::u16string text;
        bool asTagReaderAsks; // the zero high byte of a first Latin-1 letter ends that view
    };
    const Case cases[] = {
        {"Russian", u"Привет, мир!", true},
        {"Ukrainian", u"Київ", true},
        {"Single Cyrillic letter", u"Я", true},
        {"Cyrillic then Latin", u"Яx", true},
        {"Russian title", u"Звезда по имени Солнце", true},
        {"Greek", u"Ελληνικά", true},
        {"Polytonic Greek", u"Ἀθῆναι", true},
        {"Czech", u"Dvořák", true},
        {"English", u"Hello world", true},
        {"German", u"Ärzte", false},
        {"Vietnamese", u"Đà Nẵng", true},
        {"Typographic marks", u"«Кино» — Группа крови", false},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(WholeText(Utf16LE(c.text))) << c.name;
        EXPECT_EQ(AsTagReaderAsks(Utf16LE(c.text)), c.asTagReaderAsks) << c.name;
    }
    // The statistics alone find the non-ASCII ones.
    EXPECT_TRUE(WholeText(Utf16LE(u"Привет"), IS_TEXT_UNICODE_STATISTICS));
    EXPECT_TRUE(WholeText(Utf16LE(u"Hello world"), IS_TEXT_UNICODE_STATISTICS));
}

TEST(IsTextUnicode, Ascii16WantsOnlyZeroExtendedAscii) {
    EXPECT_TRUE(WholeText(Utf16LE(u"Hello, world!\r\n"), IS_TEXT_UNICODE_ASCII16));
    EXPECT_TRUE(AsTagReaderAsks(Utf16LE(u"Hello"), 0, IS_TEXT_UNICODE_ASCII16));
    EXPECT_FALSE(WholeText(Utf16LE(u"Ärzte"), IS_TEXT_UNICODE_ASCII16));
    EXPECT_FALSE(WholeText(Utf16LE(u"Привет"), IS_TEXT_UNICODE_ASCII16));
    EXPECT_FALSE(WholeText(Utf16LE(u"bell\a"), IS_TEXT_UNICODE_ASCII16));
    EXPECT_FALSE(WholeText(Utf16LE(u""), IS_TEXT_UNICODE_ASCII16));
    EXPECT_FALSE(WholeText(Utf16LE(u"Привет"), 0));
}

TEST(IsTextUnicode, LeavesEightBitAndUtf8TextAlone) {
    const char* texts[] = {
        "Hello",
        "Rock",
        "Pop",
        "ab",
        "A b",
        "Bush hid the facts",
        "Track 01",
        "Smells Like Teen Spirit (Live)",                   // a full 30-byte ID3v1 title
        "\xCF\xF0\xE8\xE2\xE5\xF2",                         // Привет in code page 1251
        "\xCA\xE8\xED\xEE",                                 // Кино, 1251
        "\xDF",                                             // Я, 1251
        "\xC4\xE0",                                         // Да, 1251
        "Caf\xE9 M\xFCller",                                // 1252
        "\xC4rzte",                                         // 1252
        "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", // Привет in UTF-8
        "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",             // 日本語 in UTF-8
        "\xC3\x84rzte",                                     // Ärzte in UTF-8
        "a\tb\r\nc",
        "\" \" & & \"",
        "12345",
        "",
    };
    for (const char* text : texts)
        for (uint8_t after : {0x00, 0x04, 0x20, 0x41, 0xFF}) {
            EXPECT_FALSE(AsTagReaderAsks(Raw(text), after)) << text << " " << int(after);
            EXPECT_FALSE(WholeText(Raw(text))) << text;
        }
}

TEST(IsTextUnicode, NoEightBitTextLongerThanOneCharacterPasses) {
    // Bytes of ordinary 8-bit text: printable ASCII, tab, line breaks and any upper half.
    std::vector<uint8_t> textBytes = {'\t', '\n', '\r'};
    for (int b = 0x20; b <= 0xFF; ++b)
        textBytes.push_back(static_cast<uint8_t>(b));

    for (uint8_t first : textBytes) {
        // One character is the same bytes as one zero-extended UTF-16 unit: only ASCII passes.
        bool ascii = first < 0x7F;
        EXPECT_EQ(AsTagReaderAsks({first}), ascii) << int(first);
        EXPECT_FALSE(AsTagReaderAsks({first}, 0, IS_TEXT_UNICODE_STATISTICS)) << int(first);
        for (uint8_t second : textBytes)
            for (uint8_t after : {0x00, 0x04, 0xFF})
                ASSERT_FALSE(AsTagReaderAsks({first, second}, after)) << int(first) << int(second);
    }

    std::mt19937 random(1234);
    for (int round = 0; round < 20000; ++round) {
        Bytes text(2 + random() % 40);
        for (uint8_t& b : text)
            b = textBytes[random() % textBytes.size()];
        ASSERT_FALSE(AsTagReaderAsks(text, static_cast<uint8_t>(random())))
            << std::string(text.begin(), text.end());
        ASSERT_FALSE(WholeText(text)) << std::string(text.begin(), text.end());
    }
}

TEST(IsTextUnicode, OddSizesFillPatternsAndEdgeInputs) {
    Bytes russian = Utf16LE(u"Привет");
    russian.push_back(0);
    russian.push_back(0);
    russian.push_back(0x41); // a stray last byte is no unit and is ignored
    EXPECT_TRUE(platform::IsTextUnicode(russian.data(), russian.size(), BothTests));
    EXPECT_FALSE(platform::IsTextUnicode(russian.data(), 1, BothTests));
    EXPECT_FALSE(platform::IsTextUnicode(russian.data(), 0, BothTests));
    EXPECT_FALSE(platform::IsTextUnicode(nullptr, 8, BothTests));

    EXPECT_FALSE(WholeText(Utf16LE(u"ЄЄЄЄЄ"))); // one value repeated
    EXPECT_FALSE(WholeText(Bytes(32, 0xFF)));
    EXPECT_FALSE(WholeText(Utf16LE(u"Привет\u0001мир")));          // a control character
    EXPECT_FALSE(WholeText(Utf16LE(u"Приве\uE000т")));             // private use
    EXPECT_FALSE(WholeText(Utf16LE(u"日本語のテキスト")));         // not recognised: see the code
    EXPECT_FALSE(WholeText(Utf16LE(u"\u0100\u0370\u0400\u0531"))); // four scripts, one letter each
}
