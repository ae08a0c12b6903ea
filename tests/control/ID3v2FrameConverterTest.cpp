#include "control/ID3v2FrameConverter.h"
#include "tests/control/TagTestBytes.h"

#include <gtest/gtest.h>

using control::ID3v2Frame;
using control::ID3v2FrameConverter;
using namespace tagtest;

namespace {

std::string S(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

Bytes B(const std::string& bytes) {
    return Bytes(bytes.begin(), bytes.end());
}

Bytes FlaggedFrame(const std::string& id, const Bytes& data, SizeStyle style, uint8_t status,
                   uint8_t format) {
    Bytes frame = Frame(id, data, style);
    frame[8] = status;
    frame[9] = format;
    return frame;
}

Bytes Kept(uint8_t version, uint8_t flags, const Bytes& body) {
    return B(ID3v2FrameConverter::KeptFrames(version, flags, S(body)));
}

TEST(ID3v2FrameConverterTest, ResynchronisingDropsTheZeroAfterEachFF) {
    struct Case {
        Bytes in, out;
    } cases[] = {
        {{}, {}},
        {{0xFF, 0x00, 0xE0}, {0xFF, 0xE0}},
        {{0xFF, 0x00, 0x00}, {0xFF, 0x00}},
        {{0xFF, 0xFF, 0x00, 0x01}, {0xFF, 0xFF, 0x01}},
        {{0x00, 0xFF}, {0x00, 0xFF}},
        {{0x12, 0x00, 0xFF, 0x00}, {0x12, 0x00, 0xFF}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.out, B(ID3v2FrameConverter::Resynchronise(S(c.in))));
}

TEST(ID3v2FrameConverterTest, Version4FramesGetVersion3FlagsAndExtraBytes) {
    const Bytes data = Text("payload");
    struct Case {
        const char* name;
        uint8_t status, format;
        Bytes frameData;
        std::optional<Bytes> expected; // a whole version 2.3 frame
    } cases[] = {
        {"status flags move", 0x70, 0, data, FlaggedFrame("ABCD", data, SizeStyle::Plain, 0xE0, 0)},
        {"data length indicator dropped", 0, 0x01, Cat({Bytes{0, 0, 0, 7}, data}),
         Frame("ABCD", data, SizeStyle::Plain)},
        {"unsynchronisation undone", 0, 0x02, Bytes{0xFF, 0x00, 0xFB},
         Frame("ABCD", Bytes{0xFF, 0xFB}, SizeStyle::Plain)},
        {"compressed keeps its decompressed size, now a plain number", 0, 0x09,
         Cat({Bytes{0, 0, 0x01, 0x00}, data}),
         FlaggedFrame("ABCD", Cat({Bytes{0, 0, 0, 0x80}, data}), SizeStyle::Plain, 0, 0x80)},
        {"group, encryption method and size in version 2.3 order", 0, 0x4D,
         Cat({Bytes{0x11, 0x22, 0, 0, 0, 0x10}, data}),
         FlaggedFrame("ABCD", Cat({Bytes{0, 0, 0, 0x10, 0x22, 0x11}, data}), SizeStyle::Plain, 0,
                      0xE0)},
        {"compressed without its size", 0, 0x08, data, std::nullopt},
        {"cut short inside the extra bytes", 0, 0x01, Bytes{0, 0}, std::nullopt},
        {"grouped without the group byte", 0, 0x40, Bytes{}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string frameData = S(c.frameData);
        const ID3v2Frame frame{"ABCD", c.status, c.format, frameData};
        const std::optional<std::string> converted = ID3v2FrameConverter::ToVersion3(frame, false);
        ASSERT_EQ(c.expected.has_value(), converted.has_value());
        if (c.expected) {
            EXPECT_EQ(*c.expected, B(*converted));
        }
    }
    SCOPED_TRACE("a tag marked unsynchronised as a whole");
    const std::string unsynchronised = S(Bytes{0xFF, 0x00, 0xE0});
    EXPECT_EQ(Frame("ABCD", Bytes{0xFF, 0xE0}, SizeStyle::Plain),
              B(*ID3v2FrameConverter::ToVersion3({"ABCD", 0, 0, unsynchronised}, true)));
}

TEST(ID3v2FrameConverterTest, TheFramesOfAnyReadableTagAreFound) {
    const Bytes picture = Cat({Bytes{0}, Text("image/png"), Bytes{0, 3, 0}, Bytes(300, 0xA5)});
    // Picture bytes that look like a frame id where a size in 7-bit groups would end.
    const Bytes idLikePicture = Cat({Bytes{0}, Text("image/png"), Bytes{0, 3, 0}, Bytes(300, '3')});
    const Bytes plainPicture = Frame("APIC", picture, SizeStyle::Plain);
    const Bytes extendedHeader3 = {0, 0, 0, 6, 0, 0, 0, 0, 0, 0};
    const Bytes extendedHeader4 = {0, 0, 0, 6, 1, 0};
    struct Case {
        const char* name;
        uint8_t version, flags;
        Bytes body;
        Bytes expected;
    } cases[] = {
        {"version 2.3", 3, 0, plainPicture, plainPicture},
        {"version 2.3 with sizes in 7-bit groups, as older writers made them", 3, 0,
         Cat({Frame("APIC", picture, SizeStyle::SyncSafe),
              Frame("USLT", Bytes(200, 'l'), SizeStyle::SyncSafe)}),
         Cat({plainPicture, Frame("USLT", Bytes(200, 'l'), SizeStyle::Plain)})},
        {"version 2.4 with plain sizes, as some writers make them", 4, 0,
         Frame("APIC", picture, SizeStyle::Plain), plainPicture},
        // The sizes count the bytes after unsynchronisation was undone.
        {"version 2.3 unsynchronised as a whole", 3, 0x80,
         Cat({Text("PRIV"), Bytes{0, 0, 0, 4, 0, 0}, Bytes{0xFF, 0x00, 0xE0, 0xFF, 0x00, 0x00}}),
         Frame("PRIV", Bytes{0xFF, 0xE0, 0xFF, 0x00}, SizeStyle::Plain)},
        {"version 2.3 with id-like data before padding", 3, 0,
         Cat({Frame("APIC", idLikePicture, SizeStyle::Plain), Bytes(50, 0)}),
         Frame("APIC", idLikePicture, SizeStyle::Plain)},
        {"version 2.3 extended header", 3, 0x40, Cat({extendedHeader3, plainPicture}),
         plainPicture},
        {"version 2.4 extended header", 4, 0x40,
         Cat({extendedHeader4, Frame("APIC", picture, SizeStyle::SyncSafe)}), plainPicture},
        {"extended header larger than the tag", 4, 0x40, Bytes{0, 0, 0x7F, 0x7F, 1, 0}, Bytes{}},
        {"padding and garbage end the walk", 3, 0, Cat({plainPicture, Bytes(20, 0), plainPicture}),
         plainPicture},
        {"a frame running past the end is dropped", 3, 0,
         Cat({plainPicture, Bytes(plainPicture.begin(), plainPicture.end() - 1)}), plainPicture},
        {"lower-case ids are no frames", 3, 0, Frame("apic", picture, SizeStyle::Plain), Bytes{}},
        {"version 2.2", 2, 0, Cat({Text("PIC"), Bytes{0, 0, 3}, Bytes{1, 2, 3}}), Bytes{}},
        {"an unknown version", 5, 0, plainPicture, Bytes{}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, Kept(c.version, c.flags, c.body));
    }
}

TEST(ID3v2FrameConverterTest, OnlyWhatTheNewTagReplacesIsLeftOut) {
    const Bytes userComment16 =
        Frame("COMM", Cat({Bytes{1}, Text("eng"), Bytes{0xFF, 0xFE, 0, 0, 0xFF, 0xFE, 'H', 0}}),
              SizeStyle::Plain);
    const Bytes playerComment16 = Frame(
        "COMM", Cat({Bytes{1}, Text("eng"), Bytes{0xFF, 0xFE, 'd', 0, 0, 0, 0xFF, 0xFE, 'H', 0}}),
        SizeStyle::Plain);
    const Bytes compressedComment =
        FlaggedFrame("COMM", Cat({Bytes{0, 0, 0, 9}, Bytes(9, 0x78)}), SizeStyle::Plain, 0, 0x80);
    const Bytes groupedUserComment = FlaggedFrame(
        "COMM", Cat({Bytes{5, 0}, Text("eng"), Bytes{0}, Text("x")}), SizeStyle::Plain, 0, 0x20);
    const Bytes kept = Cat({Frame("TIT3", Text("\0sub"), SizeStyle::Plain),
                            Frame("TPE2", Text("\0band"), SizeStyle::Plain),
                            Frame("TDAT",
                                  Text("\0"
                                       "0101"),
                                  SizeStyle::Plain)});
    const Bytes replaced = Cat(
        {Frame("TIT2", Text("\0t"), SizeStyle::Plain), Frame("TPE1", Text("\0a"), SizeStyle::Plain),
         Frame("TALB", Text("\0b"), SizeStyle::Plain),
         Frame("TRCK",
               Text("\0"
                    "1"),
               SizeStyle::Plain),
         Frame("TCON", Text("\0g"), SizeStyle::Plain), Frame("TYER", Text("\0y"), SizeStyle::Plain),
         Frame("TDRC",
               Text("\0"
                    "2001"),
               SizeStyle::Plain),
         CommentFrame(0, {}, Text("user"), SizeStyle::Plain), userComment16, groupedUserComment,
         FlaggedFrame("XSUM", Text("x"), SizeStyle::Plain, 0x80, 0)});
    const Bytes body = Cat({replaced, playerComment16, kept, compressedComment});
    EXPECT_EQ(Cat({playerComment16, kept, compressedComment}), Kept(3, 0, body));
}

} // namespace
