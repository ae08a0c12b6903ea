// Tags that the writer makes, as the standard readers of this machine see them: mutagen (with
// the system's Python) and ffprobe.
#include "control/ID3v2TagWriter.h"
#include "platform/CodePage.h"
#include "tests/control/ID3v2WriterTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>

using namespace writertest;
using testsupport::RunCommand;
using testsupport::TempDir;
using testsupport::U8;

namespace {

const char* const Python = "/usr/bin/python3";

// "tag FILE VERSION" gives the file a cover, lyrics, a user text and a player's comment in
// a tag of that version; "dump FILE" prints the frames as KEY<tab>hex of the UTF-8 value.
const char* const MutagenScript = R"PY(
import sys
from mutagen.id3 import ID3, APIC, USLT, TXXX, COMM

def tag(path, version):
    tags = ID3(path)
    encoding = 3 if version == 4 else 1
    tags.add(APIC(encoding=encoding, mime="image/png", type=3, desc="Обложка",
                  data=b"\x89PNG\r\n\x1a\n" + bytes((i * 7) % 256 for i in range(5000))))
    tags.add(USLT(encoding=encoding, lang="eng", desc="", text="Первая строка\nSecond line"))
    tags.add(TXXX(encoding=encoding, desc="MusicBrainz Album Id", text="1f2e3d4c"))
    tags.add(COMM(encoding=encoding, lang="eng", desc="iTunNORM", text=" 00000A3C 00000B1F"))
    tags.save(v2_version=version)

def dump(path):
    tags = ID3(path, translate=False)
    def put(key, value):
        print(key + "\t" + value.encode("utf-8").hex())
    print("version\t" + str(tags.version[1]).encode().hex())
    for key in ("TIT2", "TPE1", "TALB", "TYER", "TRCK"):
        put(key, str(tags[key]) if key in tags else "")
    put("TCON", tags["TCON"].genres[0] if "TCON" in tags and tags["TCON"].genres else "")
    for frame in tags.getall("COMM"):
        put("COMM:" + frame.desc, str(frame))
    for frame in tags.getall("APIC"):
        put("APIC", frame.mime + "|" + str(frame.type) + "|" + frame.desc + "|" + frame.data.hex())
    for frame in tags.getall("USLT"):
        put("USLT", frame.lang + "|" + frame.desc + "|" + frame.text)
    for frame in tags.getall("TXXX"):
        put("TXXX:" + frame.desc, str(frame))

globals()[sys.argv[1]](sys.argv[2], *[int(a) for a in sys.argv[3:]])
)PY";

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

using Fields = std::map<std::string, std::string>;

class ID3v2TagWriterInteropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (RunCommand(std::string(Python) + " -c 'import mutagen' 2>/dev/null") != 0)
            GTEST_SKIP() << "mutagen is missing for " << Python;
        if (RunCommand("ffprobe -version >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "ffprobe is missing";
        script_ = dir_.Write("mutagen_frames.py", std::string(MutagenScript));
    }

    void Tag(const std::string& file, int version) const {
        ASSERT_EQ(0, RunCommand(std::string(Python) + " " + Quoted(script_) + " tag " +
                                Quoted(file) + " " + std::to_string(version)));
    }

    Fields Mutagen(const std::string& file) const {
        std::string output;
        EXPECT_EQ(0,
                  RunCommand(std::string(Python) + " " + Quoted(script_) + " dump " + Quoted(file),
                             &output));
        Fields fields;
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);) {
            const size_t tab = line.find('\t');
            if (tab != std::string::npos)
                fields[line.substr(0, tab)] = FromHex(line.substr(tab + 1));
        }
        return fields;
    }

    static Fields FFprobe(const std::string& file) {
        std::string output;
        EXPECT_EQ(0, RunCommand("ffprobe -v quiet -show_entries "
                                "format_tags=title,artist,album,date,genre,comment,track:"
                                "stream=sample_rate -of default=nw=1 " +
                                    Quoted(file),
                                &output));
        Fields fields;
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);) {
            const size_t equals = line.find('=');
            if (equals != std::string::npos)
                fields[line.substr(0, equals)] = line.substr(equals + 1);
        }
        return fields;
    }

    // The seven texts as both readers see them; the audio behind the tag found as before.
    static void ExpectSevenTexts(const Texts& texts, const Fields& mutagen, const Fields& ffprobe,
                                 const std::string& sampleRate) {
        EXPECT_EQ("3", mutagen.at("version"));
        EXPECT_EQ(U8(texts.title), mutagen.at("TIT2"));
        EXPECT_EQ(U8(texts.artist), mutagen.at("TPE1"));
        EXPECT_EQ(U8(texts.album), mutagen.at("TALB"));
        EXPECT_EQ(U8(texts.year), mutagen.at("TYER"));
        EXPECT_EQ(U8(texts.genre), mutagen.at("TCON"));
        EXPECT_EQ(U8(texts.comment), mutagen.at("COMM:"));
        EXPECT_EQ(U8(texts.trackNum), mutagen.at("TRCK"));

        EXPECT_EQ(U8(texts.title), ffprobe.at("TAG:title"));
        EXPECT_EQ(U8(texts.artist), ffprobe.at("TAG:artist"));
        EXPECT_EQ(U8(texts.album), ffprobe.at("TAG:album"));
        EXPECT_EQ(U8(texts.year), ffprobe.at("TAG:date"));
        EXPECT_EQ(U8(texts.genre), ffprobe.at("TAG:genre"));
        EXPECT_EQ(U8(texts.comment), ffprobe.at("TAG:comment"));
        EXPECT_EQ(U8(texts.trackNum), ffprobe.at("TAG:track"));
        EXPECT_EQ(sampleRate, ffprobe.at("sample_rate"));
    }

    TempDir dir_;
    std::string script_;
};

TEST_F(ID3v2TagWriterInteropTest, StandardReadersReadTheSevenTexts) {
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
         {u"夜に駆ける", u"YOASOBI", u"THE BOOK", u"2020", u"J-Pop", u"とても良い曲です", u"7"},
         true,
         0},
        {"8-bit, code page 1252",
         {u"Café", u"Björk", u"Début", u"1993", u"Pop", u"Très bien", u"2"},
         false,
         1252},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string file = CopySourceFile("samples/tagged-cbr.mp3", dir.path());
        const std::string sampleRate = FFprobe(file).at("sample_rate");
        ASSERT_TRUE(Write(file, c.texts, c.useUnicode, c.codePage));
        ExpectSevenTexts(c.texts, Mutagen(file), FFprobe(file), sampleRate);
    }
}

TEST_F(ID3v2TagWriterInteropTest, CoverLyricsAndUserTextsSurviveAWrite) {
    for (int version : {3, 4}) {
        SCOPED_TRACE("version 2." + std::to_string(version));
        TempDir dir;
        const std::string file = CopySourceFile("samples/tagged-cbr.mp3", dir.path());
        Tag(file, version);
        const Fields before = Mutagen(file);
        ASSERT_EQ(std::to_string(version), before.at("version"));
        const std::string sampleRate = FFprobe(file).at("sample_rate");

        const Texts texts = SampleTexts();
        ASSERT_TRUE(Write(file, texts));
        const Fields after = Mutagen(file);
        ExpectSevenTexts(texts, after, FFprobe(file), sampleRate);
        for (const char* key : {"APIC", "USLT", "TXXX:MusicBrainz Album Id", "COMM:iTunNORM"}) {
            ASSERT_EQ(1u, before.count(key)) << key;
            EXPECT_EQ(before.at(key), after.count(key) ? after.at(key) : "(missing)") << key;
        }
    }
}

TEST_F(ID3v2TagWriterInteropTest, TaggedFilesOfOtherTaggersKeepTheirCovers) {
    for (const char* name : {"mutagen-v23-utf16.mp3", "mutagen-v24-utf8.mp3"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string file =
            CopySourceFile(std::string("tests/fixtures/mp3/") + name, dir.path());
        const Fields before = Mutagen(file);
        const std::string sampleRate = FFprobe(file).at("sample_rate");
        const Texts texts = SampleTexts();
        ASSERT_TRUE(Write(file, texts));
        const Fields after = Mutagen(file);
        ExpectSevenTexts(texts, after, FFprobe(file), sampleRate);
        ASSERT_EQ(1u, before.count("APIC"));
        EXPECT_EQ(before.at("APIC"), after.count("APIC") ? after.at("APIC") : "(missing)");
    }
}

} // namespace
