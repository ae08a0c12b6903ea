#include "control/ID3v2TagWriter.h"
#include "control/AnalysisDriver.h"
#include "platform/CodePage.h"
#include "platform/InputFile.h"
#include "tests/control/ID3v2WriterTestSupport.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tagtest;
using namespace writertest;
using testsupport::MessageBoxCapture;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::U8;

namespace {

const std::vector<std::string> SevenIds = {"TPE1", "TALB", "TIT2", "TRCK", "TCON", "TYER", "COMM"};

Bytes Bom() {
    return {0xFF, 0xFE};
}

// A frame with flags; the size in the given style.
Bytes FlaggedFrame(const std::string& id, const Bytes& data, SizeStyle style, uint8_t status,
                   uint8_t format) {
    Bytes frame = Frame(id, data, style);
    frame[8] = status;
    frame[9] = format;
    return frame;
}

Bytes TagWithFlags(uint8_t version, uint8_t flags, const Bytes& body) {
    Bytes tag = ID3v2Tag(version, body);
    tag[5] = flags;
    return tag;
}

std::vector<std::string> IdsOf(const std::vector<FrameBytes>& frames) {
    std::vector<std::string> ids;
    for (const FrameBytes& frame : frames)
        ids.push_back(frame.id);
    return ids;
}

const FrameBytes* Find(const std::vector<FrameBytes>& frames, const std::string& id) {
    for (const FrameBytes& frame : frames)
        if (frame.id == id)
            return &frame;
    return nullptr;
}

// The content of a regular file; nothing for a folder or a missing file.
Bytes ContentIfFile(const std::string& path) {
    return std::filesystem::is_regular_file(path) ? ReadFileBytes(path) : Bytes{};
}

control::AnalysisRecord Analyse(const std::string& path, uint32_t codePage = 0) {
    control::AnalysisRecord record;
    record.FilePath = platform::Utf8ToUtf16(path);
    record.CodePage = codePage;
    record.Result = control::AnalyseFile(record);
    return record;
}

TEST(ID3v2TagWriterTest, UnicodeFormWritesStandardUtf16FramesInTheirOrder) {
    TempDir dir;
    const Bytes audio = MpegAudio(3);
    const std::string path = dir.Write("a.mp3", audio);
    Texts texts = SampleTexts();
    texts.title = u"Hi";
    texts.comment = u"Да";
    ASSERT_TRUE(Write(path, texts));

    const Bytes file = ReadFileBytes(path);
    ASSERT_EQ(Text("ID3\x03"), Bytes(file.begin(), file.begin() + 4));
    EXPECT_EQ(0, file[4]);
    EXPECT_EQ(0, file[5]);
    const std::vector<FrameBytes> frames = Version3Frames(file);
    EXPECT_EQ(SevenIds, IdsOf(frames));
    EXPECT_EQ(Cat({Bytes{1}, Bom(), Utf16LE(u"Hi"), Bytes{0, 0}}), Find(frames, "TIT2")->data);
    EXPECT_EQ(Cat({Bytes{1}, Bom(), Utf16LE(u"Artist"), Bytes{0, 0}}), Find(frames, "TPE1")->data);
    EXPECT_EQ(Cat({Bytes{1}, Text("eng"), Bom(), Bytes{0, 0}, Bom(), Utf16LE(u"Да")}),
              Find(frames, "COMM")->data);
    for (const FrameBytes& frame : frames)
        EXPECT_EQ(0, frame.statusFlags | frame.formatFlags) << frame.id;
    EXPECT_EQ(audio, AfterTag(file));
}

TEST(ID3v2TagWriterTest, EmptyTextsGiveSixFramesAndNoComment) {
    struct Case {
        const char* name;
        bool useUnicode;
        Bytes frameData;
        Bytes sizeField;
    } cases[] = {
        {"Unicode", true, Cat({Bytes{1}, Bom(), Bytes{0, 0}}), {0, 0, 0, 90}},
        {"8-bit", false, Bytes{0, 0}, {0, 0, 0, 72}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.Write("a.mp3", MpegAudio(1));
        ASSERT_TRUE(Write(path, Texts{}, c.useUnicode, 1252));
        const Bytes file = ReadFileBytes(path);
        EXPECT_EQ(c.sizeField, Bytes(file.begin() + 6, file.begin() + 10));
        const std::vector<FrameBytes> frames = Version3Frames(file);
        EXPECT_EQ(std::vector<std::string>(SevenIds.begin(), SevenIds.end() - 1), IdsOf(frames));
        for (const FrameBytes& frame : frames)
            EXPECT_EQ(c.frameData, frame.data) << frame.id;
    }
}

TEST(ID3v2TagWriterTest, EightBitFormWritesTheCodePagesBytes) {
    TempDir dir;
    const std::string path = dir.Write("a.mp3", MpegAudio(1));
    Texts texts = SampleTexts();
    texts.title = u"Привет";
    texts.artist = u"日本"; // not in code page 1251: its default character
    texts.comment = u"Да";
    texts.album = std::u16string(300, u'ж');
    ASSERT_TRUE(Write(path, texts, false, 1251));

    const std::vector<FrameBytes> frames = Version3Frames(ReadFileBytes(path));
    EXPECT_EQ(SevenIds, IdsOf(frames));
    EXPECT_EQ((Bytes{0, 0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2, 0}), Find(frames, "TIT2")->data);
    EXPECT_EQ((Bytes{0, '?', '?', 0}), Find(frames, "TPE1")->data);
    EXPECT_EQ((Bytes{0, 'e', 'n', 'g', 0, 0xC4, 0xE0}), Find(frames, "COMM")->data);
    // Longer than the 255 bytes a tag text of the reader holds: written whole all the same.
    EXPECT_EQ(Cat({Bytes{0}, Bytes(300, 0xE6), Bytes{0}}), Find(frames, "TALB")->data);
}

TEST(ID3v2TagWriterTest, FrameSizesArePlainNumbersAndTheTagSizeIs7BitGroups) {
    TempDir dir;
    const std::string path = dir.Write("a.mp3", MpegAudio(1));
    Texts texts = SampleTexts();
    texts.title = std::u16string(200, u'x'); // 405 bytes of frame data
    ASSERT_TRUE(Write(path, texts));

    const Bytes file = ReadFileBytes(path);
    const auto tit2 = std::search(file.begin(), file.end(), SevenIds[2].begin(), SevenIds[2].end());
    ASSERT_NE(file.end(), tit2);
    EXPECT_EQ((Bytes{0x00, 0x00, 0x01, 0x95}), Bytes(tit2 + 4, tit2 + 8));
    uint32_t frameBytes = 0;
    for (const FrameBytes& frame : Version3Frames(file))
        frameBytes += 10 + static_cast<uint32_t>(frame.data.size());
    const Bytes expectedSize = {static_cast<uint8_t>(frameBytes >> 21 & 0x7F),
                                static_cast<uint8_t>(frameBytes >> 14 & 0x7F),
                                static_cast<uint8_t>(frameBytes >> 7 & 0x7F),
                                static_cast<uint8_t>(frameBytes & 0x7F)};
    EXPECT_GT(frameBytes, 0x7Fu);
    EXPECT_EQ(expectedSize, Bytes(file.begin() + 6, file.begin() + 10));
    EXPECT_EQ(MpegAudio(1), AfterTag(file));
}

TEST(ID3v2TagWriterTest, TheAnalysisReadsBackWhatWasWritten) {
    struct Case {
        const char* name;
        Texts texts;
        bool useUnicode;
        uint32_t codePage;
    } cases[] = {
        {"Unicode, Latin",
         {u"Café del Mar", u"Ånnika Öberg", u"Été", u"2003", u"Chillout", u"Très bien", u"4/10"},
         true,
         0},
        {"Unicode, Cyrillic",
         {u"Звезда по имени Солнце", u"Кино", u"Звезда", u"1989", u"Рок", u"Последний альбом",
          u"1/8"},
         true,
         0},
        {"Unicode, Japanese",
         {u"夜に駆ける", u"YOASOBI", u"THE BOOK", u"2020", u"J-Pop", u"とても良い曲", u"7"},
         true,
         0},
        {"8-bit, code page 1251",
         {u"Группа крови", u"Кино", u"Группа крови", u"1988", u"Рок", u"Хороший альбом", u"1"},
         false,
         1251},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.Write("song.mp3", MpegAudio(4));
        ASSERT_TRUE(Write(path, c.texts, c.useUnicode, c.codePage));
        const control::AnalysisRecord record = Analyse(path, c.codePage);
        EXPECT_EQ(0, record.Result) << U8(record.LastError);
        EXPECT_EQ(U8(c.texts.title), U8(record.Title));
        EXPECT_EQ(U8(c.texts.artist), U8(record.Artist));
        EXPECT_EQ(U8(c.texts.album), U8(record.Album));
        EXPECT_EQ(U8(c.texts.year), U8(record.Year));
        EXPECT_EQ(U8(c.texts.genre), U8(record.Genre));
        EXPECT_EQ(U8(c.texts.comment), U8(record.Comment));
        EXPECT_EQ(U8(c.texts.trackNum), U8(record.TrackNum));
    }
}

TEST(ID3v2TagWriterTest, TheOldTagGoesAndEverythingBehindItStays) {
    const Bytes audio = MpegAudio(3);
    const Bytes trailer = Cat({ApeTag(ApeItem("Title", Text("Ape title")), true),
                               ID3v1Tag("v1 title", "v1 artist", "", "1990", "", 17)});
    const Bytes v24Footer = Cat({Text("3DI"), Bytes{4, 0, 0x10, 0, 0, 0, 12}});
    struct Case {
        const char* name;
        Bytes file;
        Bytes rest;
    } cases[] = {
        {"no tag", Cat({audio, trailer}), Cat({audio, trailer})},
        {"a tag of 4,096 bytes",
         Cat({ID3v2Tag(3, Cat({TextFrame("TIT2", 0, Text("Old")), Bytes(4086 - 14, 0)})), audio}),
         audio},
        {"a version 2.2 tag",
         Cat({ID3v2Tag(2, Cat({Text("TT2"), Bytes{0, 0, 4, 0}, Text("Old"), Text("PIC"),
                               Bytes{0, 0, 3, 1, 2, 3}})),
              audio}),
         audio},
        {"a version 2.4 tag with footer",
         Cat({TagWithFlags(4, 0x10, TextFrame("TIT2", 3, Text("Old"))), v24Footer, audio}), audio},
        {"a file of fewer than 10 bytes", Text("abc"), Text("abc")},
        {"an empty file", Bytes{}, Bytes{}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.Write("a.mp3", c.file);
        ASSERT_TRUE(Write(path, SampleTexts()));
        const Bytes file = ReadFileBytes(path);
        EXPECT_EQ(SevenIds, IdsOf(Version3Frames(file)));
        EXPECT_EQ(c.rest, AfterTag(file));
        EXPECT_EQ(std::vector<std::string>{"a.mp3"}, FolderEntries(dir.path()));
    }
}

TEST(ID3v2TagWriterTest, FramesOfAVersion3TagAreKeptByteForByte) {
    const Bytes picture = Cat({Bytes{0}, Text("image/png"), Bytes{0, 3}, Text("cover"), Bytes{0},
                               Bytes{0x89, 'P', 'N', 'G'}, Bytes(3000, 0xFF), Bytes{0, 0xFF}});
    const Bytes lyrics = Cat({Bytes{1}, Text("eng"), Bom(), Bytes{0, 0}, Bom(),
                              Utf16LE(u"Первый куплет\nВторой куплет")});
    const Bytes userText =
        Cat({Bytes{0}, Text("MusicBrainz Album Id"), Bytes{0}, Text("89ad4ac3")});
    const Bytes playerComment =
        Cat({Bytes{0}, Text("eng"), Text("iTunNORM"), Bytes{0}, Text(" 00000A3C 00000B1F")});
    const Bytes grouped = Cat({Bytes{7}, Text("grouped private data")});
    const Bytes body = Cat({
        TextFrame("TIT2", 0, Text("Old title"), SizeStyle::Plain),
        Frame("APIC", picture, SizeStyle::Plain),
        TextFrame("TPE1", 0, Text("Old artist"), SizeStyle::Plain),
        Frame("USLT", lyrics, SizeStyle::Plain), Frame("TXXX", userText, SizeStyle::Plain),
        CommentFrame(0, {}, Text("Old user comment"), SizeStyle::Plain),
        Frame("COMM", playerComment, SizeStyle::Plain),
        TextFrame("TYER", 0, Text("1970"), SizeStyle::Plain),
        TextFrame("TDAT", 0, Text("0105"), SizeStyle::Plain),
        FlaggedFrame("PRIV", grouped, SizeStyle::Plain, 0x40, 0x20),
        FlaggedFrame("XSUM", Text("checksum of the tag"), SizeStyle::Plain, 0x80, 0),
        Bytes(100, 0), // padding
    });
    TempDir dir;
    const Bytes audio = MpegAudio(2);
    const std::string path = dir.Write("a.mp3", Cat({ID3v2Tag(3, body), audio}));
    ASSERT_TRUE(Write(path, SampleTexts()));

    const Bytes file = ReadFileBytes(path);
    const std::vector<FrameBytes> frames = Version3Frames(file);
    const std::vector<FrameBytes> kept(frames.begin() + 7, frames.end());
    const std::vector<FrameBytes> expected = {{"APIC", picture},
                                              {"USLT", lyrics},
                                              {"TXXX", userText},
                                              {"COMM", playerComment},
                                              {"TDAT", Cat({Bytes{0}, Text("0105")})},
                                              {"PRIV", grouped, 0x40, 0x20}};
    ASSERT_EQ(frames.size(), 7 + expected.size());
    EXPECT_EQ(SevenIds, IdsOf(std::vector<FrameBytes>(frames.begin(), frames.begin() + 7)));
    EXPECT_EQ(expected, kept);
    EXPECT_EQ(audio, AfterTag(file));
    // The user's comment is the new one, not the player's.
    EXPECT_EQ("A comment", U8(Analyse(path).Comment));
}

TEST(ID3v2TagWriterTest, FramesOfAVersion4TagGetVersion3HeadersAndDecodedData) {
    const Bytes picture = Cat({Bytes{3}, Text("image/jpeg"), Bytes{0, 3}, Text("обложка"), Bytes{0},
                               Bytes{0xFF, 0xD8, 0xFF, 0xE0}, Bytes(200, 0xAB), Bytes{0xFF}});
    // Unsynchronised: FF 00 after every FF whose next byte could pass for a sync.
    const Bytes pictureUnsynchronised =
        Cat({Bytes{3}, Text("image/jpeg"), Bytes{0, 3}, Text("обложка"), Bytes{0},
             Bytes{0xFF, 0x00, 0xD8, 0xFF, 0x00, 0xE0}, Bytes(200, 0xAB), Bytes{0xFF, 0x00}});
    const Bytes lyrics = Cat({Bytes{3}, Text("eng"), Bytes{0}, Text("Строка песни")});
    const Bytes userText =
        Cat({Bytes{3}, Text("REPLAYGAIN_TRACK_GAIN"), Bytes{0}, Text("-6.5 dB")});
    auto dataLength = [](size_t length) {
        return Bytes{static_cast<uint8_t>(length >> 21 & 0x7F),
                     static_cast<uint8_t>(length >> 14 & 0x7F),
                     static_cast<uint8_t>(length >> 7 & 0x7F), static_cast<uint8_t>(length & 0x7F)};
    };
    const Bytes body = Cat({
        TextFrame("TIT2", 3, Text("Old")),
        TextFrame("TDRC", 3, Text("2001-05-12")),
        FlaggedFrame("APIC", Cat({dataLength(picture.size()), pictureUnsynchronised}),
                     SizeStyle::SyncSafe, 0, 0x03),
        Frame("USLT", lyrics, SizeStyle::SyncSafe),
        FlaggedFrame("TXXX", Cat({dataLength(userText.size()), userText}), SizeStyle::SyncSafe,
                     0x20, 0x01),
        FlaggedFrame("GRP1", Cat({Bytes{9}, Text("group")}), SizeStyle::SyncSafe, 0x10, 0x40),
        FlaggedFrame("XSUM", Text("checksum"), SizeStyle::SyncSafe, 0x40, 0),
    });
    TempDir dir;
    const Bytes audio = MpegAudio(2);
    const std::string path = dir.Write("a.mp3", Cat({ID3v2Tag(4, body), audio}));
    ASSERT_TRUE(Write(path, SampleTexts()));

    const Bytes file = ReadFileBytes(path);
    const std::vector<FrameBytes> frames = Version3Frames(file);
    ASSERT_GE(frames.size(), 7u);
    const std::vector<FrameBytes> expected = {{"APIC", picture},
                                              {"USLT", lyrics},
                                              {"TXXX", userText, 0x40, 0},
                                              {"GRP1", Cat({Bytes{9}, Text("group")}), 0x20, 0x20}};
    EXPECT_EQ(expected, std::vector<FrameBytes>(frames.begin() + 7, frames.end()));
    EXPECT_EQ(audio, AfterTag(file));
    EXPECT_EQ("1999", U8(Analyse(path).Year));
}

TEST(ID3v2TagWriterTest, WritingTheSameTextsTwiceGivesIdenticalFiles) {
    const Bytes oldTag = ID3v2Tag(4, Cat({TextFrame("TIT2", 3, Text("Old")),
                                          Frame("APIC", Bytes(500, 0x5A), SizeStyle::SyncSafe),
                                          TextFrame("TDRC", 3, Text("2001"))}));
    for (bool useUnicode : {true, false}) {
        SCOPED_TRACE(useUnicode ? "Unicode" : "8-bit");
        TempDir dir;
        const std::string path =
            dir.Write("a.mp3", Cat({oldTag, MpegAudio(2), ID3v1Tag("t", "a", "", "", "", 1)}));
        ASSERT_TRUE(Write(path, SampleTexts(), useUnicode, 1252));
        const Bytes first = ReadFileBytes(path);
        ASSERT_TRUE(Write(path, SampleTexts(), useUnicode, 1252));
        EXPECT_EQ(first, ReadFileBytes(path));
    }
}

TEST(ID3v2TagWriterTest, FailuresLeaveTheFileAsItWasAndNoTemporaryFile) {
    const Bytes content = Cat({ID3v2Tag(3, TextFrame("TIT2", 0, Text("Old"))), MpegAudio(2)});
    struct Case {
        const char* name;
        // Prepares the folder and returns the path to write.
        std::function<std::string(const TempDir&)> prepare;
    } cases[] = {
        {"missing file", [](const TempDir& dir) { return dir.path() + "/missing.mp3"; }},
        {"folder that does not exist",
         [](const TempDir& dir) { return dir.path() + "/no such folder/a.mp3"; }},
        {"folder named like the file",
         [](const TempDir& dir) {
             std::filesystem::create_directory(dir.path() + "/folder.mp3");
             return dir.path() + "/folder.mp3";
         }},
        {"read-only file",
         [&](const TempDir& dir) {
             const std::string path = dir.Write("a.mp3", content);
             ::chmod(path.c_str(), 0444);
             return path;
         }},
        {"old tag claims more than the file holds",
         [&](const TempDir& dir) {
             Bytes claiming = content;
             claiming[7] = 0x7F;
             return dir.Write("a.mp3", claiming);
         }},
        {"empty path", [](const TempDir&) { return std::string(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = c.prepare(dir);
        const std::vector<std::string> entries = FolderEntries(dir.path());
        const Bytes before = ContentIfFile(path);
        MessageBoxCapture boxes;
        EXPECT_FALSE(Write(path, SampleTexts()));
        EXPECT_EQ(before, ContentIfFile(path));
        EXPECT_EQ(entries, FolderEntries(dir.path()));
        EXPECT_TRUE(boxes.shown().empty());
    }
}

TEST(ID3v2TagWriterTest, AFileHeldByAnotherOpenIsNotWritten) {
    TempDir dir;
    const Bytes content = MpegAudio(2);
    const std::string path = dir.Write("a.mp3", content);
    {
        // Another writer holds it exclusively.
        const int fd = ::open(path.c_str(), O_RDONLY);
        ASSERT_EQ(0, ::flock(fd, LOCK_EX));
        EXPECT_FALSE(Write(path, SampleTexts()));
        ::close(fd);
    }
    {
        // An analysis has it open.
        platform::InputFile analysed;
        ASSERT_TRUE(analysed.Open(path));
        EXPECT_FALSE(Write(path, SampleTexts()));
    }
    EXPECT_EQ(content, ReadFileBytes(path));
    EXPECT_EQ(std::vector<std::string>{"a.mp3"}, FolderEntries(dir.path()));
    EXPECT_TRUE(Write(path, SampleTexts()));
}

TEST(ID3v2TagWriterTest, ACodePageWithoutConverterFailsBeforeTheFileIsTouched) {
    TempDir dir;
    const Bytes content = MpegAudio(1);
    const std::string path = dir.Write("a.mp3", content);
    ASSERT_FALSE(platform::IsCodePageSupported(54321));
    EXPECT_THROW(Write(path, SampleTexts(), false, 54321), platform::ConversionError);
    EXPECT_EQ(content, ReadFileBytes(path));
    EXPECT_EQ(std::vector<std::string>{"a.mp3"}, FolderEntries(dir.path()));
    // The Unicode form does not use the code page.
    EXPECT_TRUE(Write(path, SampleTexts(), true, 54321));
}

TEST(ID3v2TagWriterTest, TheReplacementKeepsPermissionsOwnerAndSymbolicLinks) {
    TempDir dir;
    const std::string path = dir.Write("a.mp3", MpegAudio(1));
    ASSERT_EQ(0, ::chmod(path.c_str(), 0640));
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(0, ::chown(path.c_str(), 1234, 5678));
    }
    const std::string link = dir.path() + "/link.mp3";
    ASSERT_EQ(0, ::symlink("a.mp3", link.c_str()));

    ASSERT_TRUE(Write(link, SampleTexts()));
    struct stat info {};
    ASSERT_EQ(0, ::lstat(link.c_str(), &info));
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(0, ::stat(path.c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 07777);
    if (root) {
        EXPECT_EQ(1234u, info.st_uid);
        EXPECT_EQ(5678u, info.st_gid);
    }
    EXPECT_EQ("Title", U8(Analyse(path).Title));
    EXPECT_EQ((std::vector<std::string>{"a.mp3", "link.mp3"}), FolderEntries(dir.path()));
}

} // namespace
