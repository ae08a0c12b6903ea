#include "control/TagReaders.h"
#include "tests/control/TagTestBytes.h"

#include <gtest/gtest.h>

using namespace tagtest;
using testsupport::U8;

namespace {

Bytes TitleAndArtist() {
    return Cat({ApeItem("Title", Text("Ape title")), ApeItem("aRtIsT", Text("Ape artist"))});
}

TEST(APETagReaderTest, FindsTheTagByFooterHeaderOrSearch) {
    const Bytes audio(3000, 0x11);
    const Bytes v1 = ID3v1Tag("v1 title", "", "", "", "", 0);
    const Bytes withHeader = ApeTag(TitleAndArtist(), true);
    const Bytes footerOnly = ApeTag(TitleAndArtist(), false);
    const Bytes other(100, 0x22);
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"header and footer", Cat({audio, withHeader})},
        {"footer only", Cat({audio, footerOnly})},
        {"before an ID3v1 tag", Cat({audio, withHeader, v1})},
        {"footer only, before an ID3v1 tag", Cat({audio, footerOnly, v1})},
        {"followed by other data: the search finds the header", Cat({audio, withHeader, other})},
        {"followed by other data: the search finds the footer", Cat({audio, footerOnly, other})},
        {"followed by other data and ID3v1", Cat({audio, withHeader, other, v1})},
        {"the tag is the whole file", withHeader},
    };
    const uint32_t tagSize = static_cast<uint32_t>(TitleAndArtist().size() + 32);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto reading = ReadAPE(c.file);
        EXPECT_EQ(tagSize, reading.result);
        EXPECT_EQ("Ape title", U8(reading.record.Title));
        EXPECT_EQ("Ape artist", U8(reading.record.Artist));
        // Fields without an item are emptied.
        EXPECT_EQ("", U8(reading.record.Album));
        EXPECT_EQ("", U8(reading.record.Comment));
    }
}

TEST(APETagReaderTest, NoTagLeavesTheFieldsAlone) {
    const Bytes tagFarAway = Cat({ApeTag(TitleAndArtist(), true), Bytes(1100, 0x33)});
    for (const Bytes& file :
         {Bytes{}, Bytes(31, 0x44), Bytes(127, 0x44), Bytes(5000, 0x44), tagFarAway}) {
        SCOPED_TRACE(file.size());
        const auto reading = ReadAPE(file);
        EXPECT_EQ(0u, reading.result);
        EXPECT_EQ("untouched", U8(reading.record.Title));
    }
}

TEST(APETagReaderTest, ItemValues) {
    struct Case {
        const char* name;
        Bytes item;
        std::string expected;
        uint32_t codePage = 0;
    } cases[] = {
        {"UTF-8", ApeItem("TITLE", Text("Звезда")), "Звезда"},
        {"only the first of several values",
         ApeItem("Title", Cat({Text("One"), Bytes{0}, Text("Two")})), "One"},
        {"8-bit with the code page", ApeItem("Title", Text("\xC7\xE2\xE5\xE7\xE4\xE0"), 2),
         "Звезда", 1251},
        {"unsupported code page", ApeItem("Title", Text("Plain"), 2), "Plain", 4242},
        {"long UTF-8 cut at a character", ApeItem("Title", Text(U8(std::u16string(200, u'ж')))),
         U8(std::u16string(127, u'ж'))},
        {"long 8-bit", ApeItem("Title", Repeat("z", 400), 2), std::string(255, 'z')},
        {"unknown keys are passed over",
         Cat({ApeItem("Cover Art (Front)", Repeat("\xFF\x00", 300), 2),
              ApeItem("Title", Text("After cover"))}),
         "After cover"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto reading = ReadAPE(Cat({Bytes(200, 0), ApeTag(c.item, true)}), c.codePage);
        EXPECT_EQ(c.expected, U8(reading.record.Title));
    }

    const Bytes all = Cat({ApeItem("Year", Text("1999")), ApeItem("Album", Text("Album")),
                           ApeItem("Artist", Text("Artist")), ApeItem("Genre", Text("Genre")),
                           ApeItem("Comment", Text("Comment")), ApeItem("Track", Text("4")),
                           ApeItem("Album Artist", Text("Other"))});
    const auto reading = ReadAPE(ApeTag(all, false));
    EXPECT_EQ("1999", U8(reading.record.Year));
    EXPECT_EQ("Album", U8(reading.record.Album));
    EXPECT_EQ("Artist", U8(reading.record.Artist));
    EXPECT_EQ("Genre", U8(reading.record.Genre));
    EXPECT_EQ("Comment", U8(reading.record.Comment));
    EXPECT_EQ("4", U8(reading.record.TrackNum));
}

TEST(APETagReaderTest, BrokenSizesStayInsideTheFile) {
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"footer size larger than the file", Cat({Bytes(100, 0), ApeBlock(0x7FFFFFFF, 1, 0)})},
        {"header announced but beyond the start",
         Cat({Bytes(10, 0), ApeBlock(40, 1, ApeHasHeader)})},
        {"size below the footer", Cat({Bytes(100, 0), ApeBlock(3, 1, 0)})},
        {"item longer than the tag",
         Cat({Bytes(64, 0), ApeTag(Cat({Bytes{0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0}, Text("Title"),
                                        Bytes{0}, Text("x")}),
                                   true)})},
        {"key without end", Cat({Bytes(64, 0), ApeTag(Cat({Bytes(8, 0), Text("TITLE")}), true)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReadAPE(c.file);
    }
    ByteNoise noise(777);
    for (int round = 0; round < 2000; ++round) {
        Bytes items = noise.Take(noise.Next() + 9);
        if (round % 3 == 0)
            items = Cat({ApeItem("Title", noise.Take(noise.Next() % 40)), items});
        Bytes tag = ApeTag(items, round % 2 == 0);
        // Lie about the sizes now and then.
        if (round % 5 == 0)
            tag[tag.size() - 20] = noise.Next();
        ReadAPE(Cat({noise.Take(noise.Next()), tag, round % 4 ? Bytes{} : noise.Take(50)}));
    }
}

} // namespace
