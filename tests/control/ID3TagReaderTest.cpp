#include "control/TagReaders.h"
#include "platform/CodePage.h"
#include "tests/control/TagTestBytes.h"

#include <gtest/gtest.h>

using namespace tagtest;
using testsupport::U8;

namespace {

constexpr uint8_t Latin1 = 0, Utf16Bom = 1, Utf16BigEndian = 2, Utf8 = 3;

Bytes Bom() {
    return {0xFF, 0xFE};
}
Bytes BomBE() {
    return {0xFE, 0xFF};
}

std::string TitleOf(const Bytes& tagBody, uint8_t version = 3, uint32_t codePage = 0) {
    return U8(ReadID3(ID3v2Tag(version, tagBody), codePage).record.Title);
}

TEST(ID3TagReaderTest, TextFramesAreDecodedWholeInEveryEncoding) {
    struct Case {
        const char* name;
        uint8_t encoding;
        Bytes text;
        std::string expected;
        uint32_t codePage = 0;
    } cases[] = {
        {"8-bit", Latin1, Text("Hello"), "Hello"},
        {"8-bit with code page 1251", Latin1, Text("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет", 1251},
        {"UTF-16 little-endian mark", Utf16Bom, Cat({Bom(), Utf16LE(u"Привет, мир")}),
         "Привет, мир"},
        {"UTF-16 big-endian mark", Utf16Bom, Cat({BomBE(), Utf16BE(u"日本語のタイトル")}),
         "日本語のタイトル"},
        {"UTF-16 without mark", Utf16Bom, Utf16LE(u"Ωmega"), "Ωmega"},
        {"UTF-16 surrogate pair", Utf16Bom, Cat({Bom(), Utf16LE(u"\U0001D11E clef")}),
         "\U0001D11E clef"},
        {"UTF-16 with terminator and a second value", Utf16Bom,
         Cat({Bom(), Utf16LE(u"First"), Bytes{0, 0}, Bom(), Utf16LE(u"Second")}), "First"},
        {"UTF-16BE", Utf16BigEndian, Utf16BE(u"Ελληνικά"), "Ελληνικά"},
        {"UTF-8", Utf8, Text("夜に駆ける"), "夜に駆ける"},
        {"UTF-8 with mark", Utf8, Text("\xEF\xBB\xBFTitel"), "Titel"},
        {"UTF-8 second value", Utf8, Cat({Text("Один"), Bytes{0}, Text("Два")}), "Один"},
        {"8-bit byte with a UTF-16 mark", Latin1, Cat({Bom(), Utf16LE(u"Кино")}), "Кино"},
        // The tag writer's Unicode form: UTF-16LE without mark behind an encoding byte of 0.
        {"Unicode form of the writer", Latin1, Cat({Utf16LE(u"Hi"), Bytes{0}}), "Hi"},
        {"Unicode form, Cyrillic", Latin1, Cat({Utf16LE(u"Звезда по имени Солнце"), Bytes{0}}),
         "Звезда по имени Солнце"},
        {"empty frame", Latin1, Bytes{}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, TitleOf(TextFrame("TIT2", c.encoding, c.text), 3, c.codePage));
    }
    SCOPED_TRACE("frame without even the encoding byte");
    EXPECT_EQ("", TitleOf(Frame("TIT2", {}, SizeStyle::SyncSafe)));
}

TEST(ID3TagReaderTest, LongTextsAreCutAt255BytesOnACharacterBoundary) {
    const std::string cyrillic200 = U8(std::u16string(200, u'ж')); // 400 UTF-8 bytes
    const std::u16string japanese300(300, u'語');                  // 900 UTF-8 bytes
    std::u16string longCyrillic;
    for (int i = 0; i < 6; ++i)
        longCyrillic += u"Звезда по имени Солнце. "; // 144 characters
    struct Case {
        const char* name;
        Bytes frame;
        std::string expected;
    } cases[] = {
        {"UTF-8, two-byte characters", TextFrame("TIT2", Utf8, Text(cyrillic200)),
         U8(std::u16string(127, u'ж'))},
        {"UTF-16, three-byte characters in UTF-8",
         TextFrame("TIT2", Utf16Bom, Cat({Bom(), Utf16LE(japanese300)})),
         U8(std::u16string(85, u'語'))},
        {"UTF-16, ASCII: more than 127 characters fit",
         TextFrame("TIT2", Utf16Bom, Cat({Bom(), Utf16LE(std::u16string(300, u'a'))})),
         std::string(255, 'a')},
        {"8-bit", TextFrame("TIT2", Latin1, Repeat("b", 300)), std::string(255, 'b')},
        {"Unicode form keeps whole units",
         TextFrame("TIT2", Latin1, Cat({Utf16LE(longCyrillic), Bytes{0}})),
         U8(longCyrillic.substr(0, 127))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The frame after the long one is still found.
        const Bytes body = Cat({c.frame, TextFrame("TPE1", Latin1, Text("After"))});
        const auto reading = ReadID3(ID3v2Tag(3, body));
        EXPECT_EQ(c.expected, U8(reading.record.Title));
        EXPECT_EQ("After", U8(reading.record.Artist));
    }
}

TEST(ID3TagReaderTest, CommentIsTheTextAfterLanguageAndDescription) {
    const Bytes itunes = Text(" 00000A3C 00000B1F");
    struct Case {
        const char* name;
        Bytes frames;
        std::string expected;
    } cases[] = {
        {"8-bit, empty description", CommentFrame(Latin1, {}, Text("Nice")), "Nice"},
        {"8-bit, with description", CommentFrame(Latin1, Text("desc"), Text("Nice")), "Nice"},
        {"empty text", CommentFrame(Latin1, {}, {}), ""},
        {"UTF-16 with marks",
         CommentFrame(Utf16Bom, Bom(), Cat({Bom(), Utf16LE(u"Комментарий по-русски")})),
         "Комментарий по-русски"},
        {"UTF-16 with a description",
         CommentFrame(Utf16Bom, Cat({Bom(), Utf16LE(u"desc")}), Cat({Bom(), Utf16LE(u"Текст")})),
         "Текст"},
        {"UTF-16BE", CommentFrame(Utf16BigEndian, {}, Utf16BE(u"コメント")), "コメント"},
        {"UTF-8", CommentFrame(Utf8, Text("описание"), Text("Привет")), "Привет"},
        {"the user's comment wins over player data after it",
         Cat({CommentFrame(Latin1, {}, Text("mine")),
              CommentFrame(Latin1, Text("iTunNORM"), itunes)}),
         "mine"},
        {"the user's comment wins over player data before it",
         Cat({CommentFrame(Latin1, Text("iTunNORM"), itunes),
              CommentFrame(Utf16Bom, Bom(), Cat({Bom(), Utf16LE(u"mine")}))}),
         "mine"},
        {"only player data", CommentFrame(Latin1, Text("iTunNORM"), itunes), " 00000A3C 00000B1F"},
        {"of two user comments the last wins",
         Cat({CommentFrame(Latin1, {}, Text("first")), CommentFrame(Latin1, {}, Text("second"))}),
         "second"},
        {"Unicode form of the writer", CommentFrame(Latin1, {}, Utf16LE(u"Hello world")),
         "Hello world"},
        {"Unicode form, Cyrillic", CommentFrame(Latin1, {}, Utf16LE(u"Отличная песня")),
         "Отличная песня"},
        {"description without terminator",
         Frame("COMM", Cat({Bytes{0}, Text("engdesc")}), SizeStyle::SyncSafe), ""},
        {"shorter than the language", Frame("COMM", Bytes{0, 'e', 'n'}, SizeStyle::SyncSafe), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, U8(ReadID3(ID3v2Tag(3, c.frames)).record.Comment));
    }
}

// Version 3 frames have plain sizes, version 4 frames 7-bit groups; writers mix them up, and
// the reading that lands on the next frame, the padding or the tag's end wins.
TEST(ID3TagReaderTest, FrameSizesOfBothVersionsAndTheirMixUps) {
    const Bytes cover200 =
        Cat({Bytes{0}, Text("image/png"), Bytes{0, 3, 0}, Repeat("\x89PNG", 48)});
    const Bytes cover300k = Repeat("\x01\x81\xFF\x7F", 75000);
    const Bytes title = TextFrame("TIT2", Latin1, Text("Found"), SizeStyle::Plain);
    struct Case {
        const char* name;
        uint8_t version;
        Bytes body;
    } cases[] = {
        {"3, plain", 3, Cat({Frame("APIC", cover200, SizeStyle::Plain), title})},
        {"4, 7-bit groups", 4, Cat({Frame("APIC", cover200, SizeStyle::SyncSafe), title})},
        {"3 written in 7-bit groups", 3,
         Cat({Frame("APIC", cover200, SizeStyle::SyncSafe), title})},
        {"4 written plain", 4, Cat({Frame("APIC", cover200, SizeStyle::Plain), title})},
        {"3, plain, 300,000 bytes", 3, Cat({Frame("APIC", cover300k, SizeStyle::Plain), title})},
        {"4, 7-bit groups, 300,000 bytes", 4,
         Cat({Frame("APIC", cover300k, SizeStyle::SyncSafe), title})},
        // The plain reading of the first size lands inside the padding, the other one on a frame.
        {"3 in 7-bit groups, then padding", 3,
         Cat({Frame("APIC", cover200, SizeStyle::SyncSafe), title, Bytes(300, 0)})},
        {"3, a long comment before", 3,
         Cat({CommentFrame(Latin1, {}, Repeat("long comment ", 20), SizeStyle::Plain), title})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ("Found", TitleOf(c.body, c.version));
    }
    SCOPED_TRACE("the last frame ends at the tag's end");
    const auto reading = ReadID3(ID3v2Tag(
        3, Cat({title, TextFrame("TPE1", Latin1, Repeat("x", 200), SizeStyle::SyncSafe)})));
    EXPECT_EQ(std::string(200, 'x'), U8(reading.record.Artist));
}

TEST(ID3TagReaderTest, TagSizeUsesAll28Bits) {
    // Over 2 MiB of cover art before the texts, as real taggers write it.
    const Bytes cover = Repeat("\xFF\xD8\xFF\xE0", 600000);
    const Bytes body =
        Cat({Frame("APIC", cover, SizeStyle::Plain),
             TextFrame("TIT2", Utf16Bom, Cat({Bom(), Utf16LE(u"Большая")})), Bytes(1000, 0)});
    const auto reading = ReadID3(Cat({ID3v2Tag(3, body), Bytes{0xFF, 0xFB, 0x90, 0x44}}));
    EXPECT_EQ(body.size(), static_cast<size_t>(reading.result));
    EXPECT_EQ(body.size() + 10, reading.id3v2Size);
    EXPECT_GT(reading.id3v2Size, 2u * 1024 * 1024);
    EXPECT_EQ("Большая", U8(reading.record.Title));
}

TEST(ID3TagReaderTest, GenreReferences) {
    struct Case {
        const char* name;
        Bytes frame;
        std::string expected;
        uint32_t codePage = 0;
    } cases[] = {
        {"(17)", TextFrame("TCON", Latin1, Text("(17)")), "Rock"},
        {"(17) and text", TextFrame("TCON", Latin1, Text("(17)Rock Music")), "Rock Music"},
        {"(0) stays", TextFrame("TCON", Latin1, Text("(0)")), "(0)"},
        {"(255) is unknown", TextFrame("TCON", Latin1, Text("(255)")), ""},
        {"plain text", TextFrame("TCON", Latin1, Text("Trance")), "Trance"},
        {"bare number", TextFrame("TCON", Latin1, Text("17")), "17"},
        {"negative", TextFrame("TCON", Latin1, Text("(-3)")), "(-3)"},
        {"no closing parenthesis", TextFrame("TCON", Latin1, Text("(17")), "(17"},
        {"changed spellings", TextFrame("TCON", Latin1, Text("(40)")), "Alternative Rock"},
        {"(148) with code page 1251", TextFrame("TCON", Latin1, Text("(148)")), "Авторская песня",
         1251},
        {"UTF-16 reference", TextFrame("TCON", Utf16Bom, Cat({Bom(), Utf16LE(u"(17)")})), "Rock"},
        {"UTF-8 reference and text", TextFrame("TCON", Utf8, Text("(9)Металл")), "Металл"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, U8(ReadID3(ID3v2Tag(3, c.frame), c.codePage).record.Genre));
    }
}

TEST(ID3TagReaderTest, ID3v1OnlyFile) {
    const Bytes audio(1000, 0x55);
    struct Case {
        uint8_t genre;
        std::string expected;
        uint32_t codePage = 0;
    } cases[] = {{17, "Rock"}, {0, "Blues"}, {146, "Jpop"}, {148, "Авторская песня", 1251},
                 {149, ""},    {200, ""},    {255, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.genre);
        Bytes tag = ID3v1Tag("Title of thirty characters!!!!", "Artist", "Album", "1999", "Comment",
                             c.genre);
        tag[125] = 0; // ID3v1.1: a zero, then the track number, which is never shown
        tag[126] = 7;
        const auto reading = ReadID3(Cat({audio, tag}), c.codePage);
        EXPECT_EQ(128, reading.result);
        EXPECT_EQ(0u, reading.id3v2Size);
        EXPECT_EQ("Title of thirty characters!!!!", U8(reading.record.Title));
        EXPECT_EQ("Artist", U8(reading.record.Artist));
        EXPECT_EQ("Album", U8(reading.record.Album));
        EXPECT_EQ("1999", U8(reading.record.Year));
        EXPECT_EQ("Comment", U8(reading.record.Comment));
        EXPECT_EQ(c.expected, U8(reading.record.Genre));
        EXPECT_EQ("", U8(reading.record.TrackNum));
    }
}

TEST(ID3TagReaderTest, ID3v1CountsOnlyBesideAnEmptyID3v2Tag) {
    const Bytes v1 = ID3v1Tag("Old title", "Old artist", "", "", "", 17);
    const Bytes v2 = ID3v2Tag(3, TextFrame("TIT2", Latin1, Text("New title")));
    auto both = ReadID3(Cat({v2, Bytes(500, 0x55), v1}));
    EXPECT_EQ(static_cast<int32_t>(v2.size() - 10 + 128), both.result);
    EXPECT_EQ("New title", U8(both.record.Title));
    EXPECT_EQ("", U8(both.record.Artist));
    EXPECT_EQ("", U8(both.record.Genre));

    auto emptyV2 = ReadID3(Cat({ID3v2Tag(3, {}), Bytes(500, 0x55), v1}));
    EXPECT_EQ(128, emptyV2.result);
    EXPECT_EQ(10u, emptyV2.id3v2Size);
    EXPECT_EQ("Old title", U8(emptyV2.record.Title));
    EXPECT_EQ("Rock", U8(emptyV2.record.Genre));
}

TEST(ID3TagReaderTest, ShortFilesMeanNoTag) {
    // Fewer than 10 bytes: nothing is read and nothing written.
    control::AnalysisRecord record;
    record.Title = u"untouched";
    platform::InputFile file;
    file.OpenMemory(Text("ID3\x03"), "short.mp3");
    uint64_t size = 99;
    EXPECT_EQ(0, control::ReadID3Tags(file, size, record));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(u"untouched", record.Title);

    // 10 to 127 bytes: no ID3v1 tag can be there; no error either.
    for (size_t length : {10u, 50u, 127u}) {
        SCOPED_TRACE(length);
        Bytes bytes(length, 'T');
        EXPECT_EQ(0, ReadID3(bytes).result);
    }
    // A tag that claims more than the file holds gives what is there.
    Bytes truncated = ID3v2Tag(3, Cat({TextFrame("TIT2", Latin1, Text("Cut")),
                                       TextFrame("TPE1", Latin1, Repeat("y", 500))}));
    truncated.resize(60);
    const auto reading = ReadID3(truncated);
    EXPECT_EQ("Cut", U8(reading.record.Title));
    EXPECT_EQ(std::string(60 - 10 - 14 - 11, 'y'), U8(reading.record.Artist));
}

TEST(ID3TagReaderTest, UnsupportedCodePageFallsBackToTheAnsiCodePage) {
    const auto reading = ReadID3(ID3v2Tag(3, TextFrame("TIT2", Latin1, Text("Hello"))), 4242);
    EXPECT_EQ("Hello", U8(reading.record.Title));
}

TEST(ID3TagReaderTest, FramesFollowAnExtendedHeader) {
    const Bytes title = TextFrame("TIT2", Latin1, Text("After the extended header"));
    // Version 3 counts the extended header without its size field, version 4 with it.
    const Bytes v3 = ID3v2Tag(3, Cat({Bytes{0, 0, 0, 6, 0, 0, 0, 0, 0, 0}, title}), 0x40);
    const Bytes v4 = ID3v2Tag(4, Cat({Bytes{0, 0, 0, 6, 1, 0}, title}), 0x40);
    EXPECT_EQ("After the extended header", U8(ReadID3(v3).record.Title));
    EXPECT_EQ("After the extended header", U8(ReadID3(v4).record.Title));
    // A size beyond the tag is no extended header.
    const Bytes bogus = ID3v2Tag(4, Cat({title, Bytes(10, 0)}), 0x40);
    EXPECT_EQ("After the extended header", U8(ReadID3(bogus).record.Title));
}

TEST(ID3TagReaderTest, DocumentedLimits) {
    // Version 2.2 frames and frames outside the field map are not read.
    const Bytes v22 = Cat({Text("TT2"), Bytes{0, 0, 6}, Bytes{0}, Text("Title")});
    EXPECT_EQ("", TitleOf(v22, 2));
    const auto reading = ReadID3(ID3v2Tag(
        4, Cat({TextFrame("TDRC", Utf8, Text("2020")), TextFrame("TPE2", Utf8, Text("Band"))})));
    EXPECT_EQ("", U8(reading.record.Year));
    EXPECT_EQ("", U8(reading.record.Artist));
}

TEST(ID3TagReaderTest, HostileTagsNeverReadOutsideTheFile) {
    ByteNoise noise(12345);
    const char* ids[] = {"COMM", "TCON", "TIT2"};
    for (int round = 0; round < 3000; ++round) {
        const size_t length = noise.Next() * 4 + noise.Next() % 4;
        Bytes bytes = Cat({Text("ID3"), Bytes{static_cast<uint8_t>(2 + round % 3), 0, 0},
                           noise.Take(4), noise.Take(length)});
        // Plausible frame ids now and then, so that the walk goes deep.
        for (size_t at = 10; at + 4 < bytes.size(); at += 37)
            if (noise.Next() < 96)
                std::copy_n(ids[noise.Next() % 3], 4, bytes.begin() + static_cast<long>(at));
        if (round % 2)
            bytes = Cat({bytes, ID3v1Tag("t", "a", "b", "y", "c", noise.Next())});
        ReadID3(bytes);
    }
}

} // namespace
