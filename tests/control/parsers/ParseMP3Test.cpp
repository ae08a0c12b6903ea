#include "control/AnalysisDriver.h"
#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "tests/control/TagTestBytes.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tagtest;
using testsupport::PutBE;
using testsupport::PutText;
using testsupport::U8;

namespace {

// MPEG-1 Layer III, 128 kbps, 44,100 Hz, joint stereo, without CRC.
Bytes Mpeg1Frame(uint8_t b1 = 0xFB, uint8_t b2 = 0x90, uint8_t b3 = 0x40) {
    Bytes frame{0xFF, b1, b2, b3};
    frame.resize(417, 0);
    return frame;
}

// A Xing header in a first frame, where encoders put it (after the side information).
Bytes XingFrame(uint32_t flags, uint32_t frames, uint32_t bytes) {
    Bytes frame{0xFF, 0xFB, 0x90, 0x40};
    frame.resize(36, 0);
    PutText(frame, "Xing");
    PutBE(frame, flags, 4);
    if (flags & 1)
        PutBE(frame, frames, 4);
    if (flags & 2)
        PutBE(frame, bytes, 4);
    frame.resize(417, 0);
    return frame;
}

class ParseMP3Test : public ::testing::Test {
  protected:
    // Writes the pieces at their offsets into a file of the given length; the gaps are holes.
    std::string WriteSparse(const std::string& name, uint64_t length,
                            std::initializer_list<std::pair<uint64_t, Bytes>> pieces) {
        const std::string path = dir.path() + "/" + name;
        const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        EXPECT_GE(fd, 0);
        for (const auto& [offset, bytes] : pieces)
            EXPECT_EQ(static_cast<ssize_t>(bytes.size()),
                      ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)));
        EXPECT_EQ(0, ::ftruncate(fd, static_cast<off_t>(length)));
        ::close(fd);
        return path;
    }

    control::AnalysisRecord Analyse(const std::string& path) {
        control::AnalysisRecord record;
        record.FilePath = platform::Utf8ToUtf16(path);
        record.Result = control::AnalyseFile(record);
        return record;
    }

    control::AnalysisRecord AnalyseBytes(const Bytes& bytes, const std::string& name = "a.mp3") {
        return Analyse(dir.Write(name, bytes));
    }

    static void ExpectStream(const control::AnalysisRecord& r, const char* codec, const char* rate,
                             const char* channels, const char* info, const char* bitrate,
                             const char* length) {
        EXPECT_EQ(0, r.Result) << U8(r.LastError);
        EXPECT_EQ(codec, U8(r.Codec));
        EXPECT_EQ(rate, U8(r.SamplingRate));
        EXPECT_EQ(channels, U8(r.Channels));
        EXPECT_EQ(info, U8(r.AdditionalInfo));
        EXPECT_EQ(bitrate, U8(r.Bitrate));
        EXPECT_EQ(length, U8(r.Length));
    }

    void ExpectNonValid(const control::AnalysisRecord& r, const std::string& name = "a.mp3") {
        EXPECT_EQ(1, r.Result);
        EXPECT_EQ(name + " is non-valid MP3 file!", U8(r.LastError));
        EXPECT_EQ("", U8(r.Codec));
        EXPECT_EQ("", U8(r.Length));
    }

    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
};

TEST_F(ParseMP3Test, ConstantBitrateFileWithBothTags) {
    // The tag header records 4086 bytes, so the audio starts at 4096.
    Bytes tag =
        ID3v2Tag(3, Cat({TextFrame("TIT2", 0, Text("Worked example")), Bytes(4086 - 25, 0)}));
    ASSERT_EQ(4096u, tag.size());
    const std::string path = WriteSparse(
        "cbr.mp3", 5000000,
        {{0, tag}, {4096, Mpeg1Frame()}, {5000000 - 128, ID3v1Tag("Ignored", "", "", "", "", 17)}});
    const auto r = Analyse(path);
    ExpectStream(r, "MPA-1 Layer III", "44100 Hz", "2 channels", "Joint Stereo", "128 kbps",
                 "00:05:12.237");
    EXPECT_EQ("4.77 Mb ( 5,000,000 bytes )", U8(r.FileSize));
    EXPECT_EQ("Worked example", U8(r.Title));
    EXPECT_EQ("", U8(r.Genre));
}

TEST_F(ParseMP3Test, XingFiles) {
    struct Case {
        const char* name;
        Bytes frame;
        uint64_t length;
        const char* bitrate;
        const char* duration;
    } cases[] = {
        {"frames and bytes", XingFrame(3, 10000, 4000000), 4100000, "122.5 kbps (VBR)",
         "00:04:21.224"},
        // Without a frame count it is estimated from the bytes: 9570 frames here.
        {"no fields", XingFrame(0, 0, 0), 4000000, "128.0 kbps (VBR)", "00:04:09.992"},
        {"bytes field wins over the file length", XingFrame(2, 0, 1000000), 4000000,
         "128.0 kbps (VBR)", "00:01:02.485"},
        {"frames only", XingFrame(1, 10000, 0), 4000000, "122.5 kbps (VBR)", "00:04:21.224"},
        {"no frame count can be had", XingFrame(0, 0, 0), 417, "0.0 kbps (VBR)", "00:00:00.000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = Analyse(WriteSparse("xing.mp3", c.length, {{0, c.frame}}));
        ExpectStream(r, "MPA-1 Layer III", "44100 Hz", "2 channels", "Joint Stereo", c.bitrate,
                     c.duration);
    }
}

TEST_F(ParseMP3Test, HeaderFieldsAndTables) {
    struct Case {
        const char* name;
        Bytes header;
        const char* codec;
        const char* rate;
        const char* channels;
        const char* info;
        const char* bitrate;
    } cases[] = {
        {"MPEG-1, CRC, 320 kbps, 48 kHz, stereo",
         {0xFF, 0xFA, 0xE4, 0x00},
         "MPA-1 Layer III",
         "48000 Hz",
         "2 channels",
         "Stereo",
         "320 kbps"},
        {"MPEG-1, 32 kHz, dual channel",
         {0xFF, 0xFB, 0x18, 0x80},
         "MPA-1 Layer III",
         "32000 Hz",
         "2 channels",
         "Dual channel",
         "32 kbps"},
        {"MPEG-2 Layer III, 22,050 Hz, mono",
         {0xFF, 0xF3, 0x40, 0xC0},
         "MPA-2 Layer III",
         "22050 Hz",
         "1 channels",
         "Single channel",
         "32 kbps"},
        {"MPEG-2 Layer III with CRC, 24 kHz",
         {0xFF, 0xF2, 0xE4, 0x40},
         "MPA-2 Layer III",
         "24000 Hz",
         "2 channels",
         "Joint Stereo",
         "160 kbps"},
        {"MPEG-2 Layer III, 16 kHz",
         {0xFF, 0xF3, 0x18, 0x40},
         "MPA-2 Layer III",
         "16000 Hz",
         "2 channels",
         "Joint Stereo",
         "8 kbps"},
        {"sampling-rate index 3",
         {0xFF, 0xFB, 0x9C, 0x40},
         "MPA-1 Layer III",
         "0 Hz",
         "2 channels",
         "Joint Stereo",
         "128 kbps"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = c.header;
        file.resize(1000, 0);
        const auto r = AnalyseBytes(file);
        EXPECT_EQ(0, r.Result) << U8(r.LastError);
        EXPECT_EQ(c.codec, U8(r.Codec));
        EXPECT_EQ(c.rate, U8(r.SamplingRate));
        EXPECT_EQ(c.channels, U8(r.Channels));
        EXPECT_EQ(c.info, U8(r.AdditionalInfo));
        EXPECT_EQ(c.bitrate, U8(r.Bitrate));
    }
}

TEST_F(ParseMP3Test, FrameSearch) {
    const Bytes layerII{0xFF, 0xFD, 0x90, 0x40};
    const Bytes info = [] {
        Bytes frame = Mpeg1Frame();
        std::copy_n("Info", 4, frame.begin() + 36);
        return frame;
    }();
    auto repeated = [](const Bytes& candidate, int times) {
        Bytes out;
        for (int i = 0; i < times; ++i)
            out = Cat({out, candidate});
        return out;
    };
    struct Case {
        const char* name;
        Bytes file;
        bool valid;
        const char* bitrate = "";
    } cases[] = {
        {"frame at the start", Mpeg1Frame(), true, "128 kbps"},
        {"after garbage", Cat({Bytes(2047, 0x00), Mpeg1Frame()}), true, "128 kbps"},
        {"beyond the window", Cat({Bytes(2048, 0x00), Mpeg1Frame()}), false},
        {"window counts from the tag's end",
         Cat({ID3v2Tag(3, Bytes(5000, 0)), Bytes(2047, 0x00), Mpeg1Frame()}), true, "128 kbps"},
        {"Layer II only", repeated(Cat({layerII, Bytes(100, 0)}), 5), false},
        {"nine skipped candidates, then Layer III", Cat({repeated(layerII, 9), Mpeg1Frame()}), true,
         "128 kbps"},
        {"ten skipped candidates", Cat({repeated(layerII, 10), Mpeg1Frame()}), false},
        {"MPEG-2.5 is refused", Cat({Bytes{0xFF, 0xE3, 0x40, 0xC0}, Bytes(300, 0)}), false},
        {"free format and bad bitrates are no candidates",
         Cat({Bytes{0xFF, 0xFB, 0x00, 0x40, 0xFF, 0xFB, 0xF0, 0x40}, Mpeg1Frame()}), true,
         "128 kbps"},
        {"an Info header is ignored", info, true, "128 kbps"},
        {"frame at the very end", Cat({Bytes(100, 0), Bytes{0xFF, 0xFB, 0x90, 0x40, 0}}), true,
         "128 kbps"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = AnalyseBytes(c.file);
        if (c.valid) {
            EXPECT_EQ(0, r.Result) << U8(r.LastError);
            EXPECT_EQ(c.bitrate, U8(r.Bitrate));
        } else {
            ExpectNonValid(r);
        }
    }
}

TEST_F(ParseMP3Test, ShortFilesAreNonValidNotErrors) {
    for (size_t length : {0u, 3u, 4u, 9u, 10u, 50u, 127u}) {
        SCOPED_TRACE(length);
        const auto r = AnalyseBytes(Bytes(length, 'x'), "x.mp3");
        ExpectNonValid(r, "x.mp3");
    }
    ASSERT_FALSE(boxes.shown().empty());
    EXPECT_EQ(u"Error!", boxes.shown().back().caption);
    EXPECT_EQ(u"x.mp3 is non-valid MP3 file!", boxes.shown().back().text);
    EXPECT_TRUE(boxes.shown().back().flags & platform::MB_TOPMOST);
}

TEST_F(ParseMP3Test, TagsAreReadEvenWhenTheStreamIsNonValid) {
    const auto r = AnalyseBytes(Cat({ID3v2Tag(4, Cat({TextFrame("TIT2", 3, Text("Заголовок")),
                                                      CommentFrame(0, {}, Text("eng"))})),
                                     Bytes(3000, 0)}));
    ExpectNonValid(r);
    EXPECT_EQ("Заголовок", U8(r.Title));
    // A comment whose text is only the language code is emptied by the driver.
    EXPECT_EQ("", U8(r.Comment));
}

TEST_F(ParseMP3Test, TagOverTwoMiBKeepsTheFileValid) {
    const Bytes cover = Repeat("\xFF\xD8\xFF\xE0", 560000);
    const Bytes tag =
        ID3v2Tag(3, Cat({Frame("APIC", cover, SizeStyle::Plain),
                         TextFrame("TIT2", 1, Cat({Bytes{0xFF, 0xFE}, Utf16LE(u"Обложка")})),
                         TextFrame("TRCK", 0, Text("2/9")), Bytes(512, 0)}));
    ASSERT_GT(tag.size(), 2u * 1024 * 1024);
    const auto r = AnalyseBytes(Cat({tag, Mpeg1Frame(), Bytes(400000, 0)}));
    // The audio is everything after the tag: 10 + 417 + 400,000 bytes.
    ExpectStream(r, "MPA-1 Layer III", "44100 Hz", "2 channels", "Joint Stereo", "128 kbps",
                 "00:00:25.027");
    EXPECT_EQ("Обложка", U8(r.Title));
    EXPECT_EQ("2/9", U8(r.TrackNum));
}

} // namespace
