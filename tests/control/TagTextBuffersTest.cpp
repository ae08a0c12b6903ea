#include "control/TagTextBuffers.h"
#include "control/GenreNames.h"
#include "control/TagFieldMap.h"
#include "tests/support/TestSupport.h"

#include <cstring>
#include <gtest/gtest.h>

using control::TagField;
using testsupport::U8;

namespace {

TEST(TagTextBuffersTest, Utf8IsCutOnlyBetweenCharacters) {
    struct Case {
        const char* name;
        std::string text;
        size_t expectedBytes;
    } cases[] = {
        {"ASCII", std::string(300, 'a'), 255},
        {"two-byte characters", U8(std::u16string(200, u'ж')), 254},
        {"three-byte characters", U8(std::u16string(100, u'語')), 255},
        {"four-byte characters",
         [] {
             std::string text;
             for (int i = 0; i < 70; ++i)
                 text += "\U0001F3B5";
             return text;
         }(),
         252},
        {"fits", "short", 5},
        {"ends at the first zero byte", std::string("one\0two", 7), 3},
    };
    control::TagTextBuffers texts;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        texts.StoreUtf8(TagField::Title, c.text);
        EXPECT_TRUE(texts.IsUtf8(TagField::Title));
        EXPECT_EQ(c.text.substr(0, c.expectedBytes), texts.Text(TagField::Title));
    }
}

TEST(TagTextBuffersTest, BytesKeepInnerZerosAndTheRestIsCleared) {
    control::TagTextBuffers texts;
    texts.StoreUtf8(TagField::Comment, std::string(255, 'x'));
    const std::string utf16 = std::string("H\0i\0", 4);
    texts.StoreBytes(TagField::Comment, utf16);
    EXPECT_FALSE(texts.IsUtf8(TagField::Comment));
    EXPECT_EQ(0, std::memcmp(texts.Buffer(TagField::Comment), "H\0i\0\0\0", 6));
    EXPECT_EQ(std::string(control::TagTextSize - 4, '\0'),
              std::string(texts.Buffer(TagField::Comment) + 4, control::TagTextSize - 4));

    texts.Clear();
    for (TagField field : {TagField::Title, TagField::Artist, TagField::Album, TagField::Year,
                           TagField::Genre, TagField::Comment, TagField::TrackNum})
        EXPECT_EQ("", texts.Text(field));
}

TEST(TagTextBuffersTest, FieldsAreDecodedByMarkOrAsAsked) {
    control::TagTextBuffers texts;
    texts.Clear();
    texts.StoreUtf8(TagField::Title, "Заголовок");
    texts.StoreBytes(TagField::Artist, "\xC8\xF1\xEF\xEE\xEB\xED\xE8\xF2\xE5\xEB\xFC");
    control::AnalysisRecord record;
    record.CodePage = 1251;
    texts.WriteToRecord(record, control::PlainTextDecoding::CodePage);
    EXPECT_EQ("Заголовок", U8(record.Title));
    EXPECT_EQ("Исполнитель", U8(record.Artist));
    EXPECT_EQ("", U8(record.Comment));

    texts.StoreBytes(TagField::Artist, "Вася");
    texts.WriteToRecord(record, control::PlainTextDecoding::Utf8);
    EXPECT_EQ("Вася", U8(record.Artist));
}

TEST(TagFieldMapTest, KeysOfTheThreeFamilies) {
    EXPECT_EQ(3u, control::FindFrameIdRow("TIT2"));
    EXPECT_EQ(std::nullopt, control::FindFrameIdRow("tit2"));
    EXPECT_EQ(std::nullopt, control::FindFrameIdRow("TPE2"));
    EXPECT_EQ(2u, control::FindFrameIdRow("TPE1")); // row 2 comes before row 7
    EXPECT_EQ(0u, control::FindApeKeyRow("Year"));
    EXPECT_EQ(6u, control::FindApeKeyRow("track"));
    EXPECT_EQ(std::nullopt, control::FindApeKeyRow("Album Artist")); // row 7 is not searched
    EXPECT_EQ(std::nullopt, control::FindApeKeyRow("TITLES"));
    EXPECT_EQ(7u, control::FindVorbisKeyRow("AlbumArtist=Band"));
    EXPECT_EQ(1u, control::FindVorbisKeyRow("album=Record"));
    EXPECT_EQ(5u, control::FindVorbisKeyRow("DESCRIPTION=text"));
    EXPECT_EQ(std::nullopt, control::FindVorbisKeyRow("ALBUM"));
    EXPECT_EQ(control::TagField::Artist, control::TagFieldMap[7].field);
}

TEST(GenreNamesTest, SpellingsAndTheLastEntry) {
    struct Case {
        size_t index;
        std::string name;
    } cases[] = {
        {0, "Blues"},
        {17, "Rock"},
        {30, "Fusion"},
        {40, "Alternative Rock"},
        {67, "Psychedelic"},
        {79, "Hard Rock"},
        {80, "Folk"},
        {81, "Folk/Rock"},
        {84, "Fusion"},
        {123, "A Cappella"},
        {146, "Jpop"},
        {147, "Synthpop"},
        {148, "\xC0\xE2\xF2\xEE\xF0\xF1\xEA\xE0\xFF\x20\xEF\xE5\xF1\xED\xFF"},
        {149, ""},
        {255, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(c.name, control::GenreName(c.index));
    }
    for (size_t i = 0; i < control::GenreNameCount; ++i)
        EXPECT_FALSE(control::GenreName(i).empty()) << i;
}

} // namespace
