// Files made by the real encoders of this machine and tagged by a standard tagger
// (scripts/make-encoder-corpus.sh): the console reports must give the sampling rate, the
// channel count and the tag texts that ffprobe and mutagen read from them, but for the
// differences the rules of this program explain, each listed in AllowedDifferences below.
#include "platform/Profile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

enum Field { Rate, Channels, Title, Artist, Album, Genre, Year, Comment, Track, FieldCount };
const char* const FieldNames[] = {"sampling rate", "channels", "title",   "artist", "album",
                                  "genre",         "year",     "comment", "track"};
// Report labels of the tag fields, in Field order from Title on.
const char* const TagLabels[] = {"Title", "Artist", "Album", "Genre", "Year", "Comment", "Track"};

enum class Rule {
    NotRead,        // the report leaves the field empty
    LfeNotCounted,  // the report counts one channel less
    MonoOrStereo,   // the report says 2 for any stereo or multichannel stream
    CutToField,     // the report holds the text's start, at most 255 bytes, whole characters
    AlbumArtistToo, // the report holds the album artist
};

struct AllowedDifference {
    const char* extension; // "" for every format
    const char* style;     // tag style, or a prefix ending in "*", or "" for every style
    std::vector<Field> fields;
    Rule rule;
    const char* why;
};

const std::vector<Field> TagFields = {Title, Artist, Album, Genre, Year, Comment, Track};

// The only differences from ffprobe and mutagen that a report may show.
const std::vector<AllowedDifference> AllowedDifferences = {
    {"ogg", "", TagFields, Rule::NotRead, "Ogg Vorbis comments are not read"},
    {"wav", "", TagFields, Rule::NotRead, "WAVE files are read for their header only"},
    {"mp3",
     "id3v24*",
     {Year},
     Rule::NotRead,
     "a version 2.4 tag keeps the year in TDRC; only TYER is read"},
    {"mp3", "id3v1", {Track}, Rule::NotRead, "the track byte of an ID3v1.1 tag is not shown"},
    {"flac",
     "vorbis-comment-key",
     {Comment},
     Rule::NotRead,
     "the comment comes from DESCRIPTION; a COMMENT entry is not mapped"},
    {"flac",
     "vorbis-albumartist",
     {Artist},
     Rule::AlbumArtistToo,
     "ALBUMARTIST fills Artist as well; the later entry wins"},
    {"dts",
     "",
     {Channels},
     Rule::LfeNotCounted,
     "the DTS channel arrangement names the main channels; the LFE flag is not read"},
    {"wv",
     "",
     {Channels},
     Rule::MonoOrStereo,
     "the WavPack header says mono or stereo; a multichannel stream shows 2 ch"},
    {"", "", TagFields, Rule::CutToField, "a tag field holds 255 bytes; longer text is cut"},
};

struct Reference {
    std::string style;
    std::string values[FieldCount];
    std::string albumArtist;
};

using Report = std::map<std::string, std::string>; // label -> text

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> parts;
    std::stringstream stream(line);
    std::string part;
    while (std::getline(stream, part, '\t'))
        parts.push_back(part);
    if (!line.empty() && line.back() == '\t')
        parts.emplace_back();
    return parts;
}

std::vector<std::vector<std::string>> ReadTable(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);)
        rows.push_back(SplitTabs(line));
    return rows;
}

// "44100 Hz", "48 kHz", "44.1 kHz", "48 KHz" -> Hz; anything else -> -1.
long RateOf(const std::string& text) {
    char* end = nullptr;
    double number = std::strtod(text.c_str(), &end);
    std::string unit(end);
    if (end == text.c_str())
        return -1;
    if (unit == " Hz")
        return static_cast<long>(number);
    if (unit == " kHz" || unit == " KHz")
        return static_cast<long>(number * 1000 + 0.5);
    return -1;
}

// "2 channels", "1 ch (mono)", "3/2 (L,C,R,l,r) + LFE ch", "2/0 (L+R stereo)", "1+1" -> count.
long ChannelsOf(const std::string& text) {
    if (text.rfind("1+1", 0) == 0)
        return 2;
    size_t open = text.find('(');
    size_t close = text.find(')');
    if (std::isdigit(static_cast<unsigned char>(text[0])) &&
        (open == std::string::npos || text.find(" ch") < open))
        return std::atol(text.c_str());
    if (open == std::string::npos || close == std::string::npos || close < open)
        return -1;
    long count = 1;
    for (size_t i = open; i < close; ++i)
        count += text[i] == ',' || text[i] == '+';
    return count + (text.find("+ LFE", close) != std::string::npos ? 1 : 0);
}

std::map<std::string, Report> ParseReports(const std::string& out) {
    std::map<std::string, Report> reports;
    Report* current = nullptr;
    std::stringstream stream(out);
    for (std::string line; std::getline(stream, line);) {
        if (line.size() < 12 || line.compare(10, 2, ": ") != 0)
            continue;
        std::string label = line.substr(0, line.find_first_of(" :"));
        std::string text = line.substr(12);
        if (label == "File")
            current = &reports[text];
        else if (current)
            (*current)[label] = text;
    }
    return reports;
}

// The report's value of each field, in the reference's terms.
std::vector<std::string> ReportValues(const Report& report) {
    std::vector<std::string> values(FieldCount);
    auto parameters = report.find("Parameters");
    if (parameters != report.end()) {
        std::vector<std::string> parts = SplitTabs(parameters->second);
        if (parts.size() == 4) {
            values[Rate] = std::to_string(RateOf(parts[0]));
            values[Channels] = std::to_string(ChannelsOf(parts[2]));
        }
    }
    for (int field = Title; field < FieldCount; ++field) {
        auto found = report.find(TagLabels[field - Title]);
        values[field] = found == report.end() ? "" : found->second;
    }
    return values;
}

bool StyleMatches(const std::string& pattern, const std::string& style) {
    if (pattern.empty())
        return true;
    if (pattern.back() == '*')
        return style.rfind(pattern.substr(0, pattern.size() - 1), 0) == 0;
    return pattern == style;
}

bool RuleHolds(Rule rule, const std::string& shown, const std::string& expected,
               const Reference& reference) {
    switch (rule) {
    case Rule::NotRead:
        return shown.empty();
    case Rule::LfeNotCounted:
        return std::atol(shown.c_str()) == std::atol(expected.c_str()) - 1;
    case Rule::MonoOrStereo:
        return std::atol(expected.c_str()) > 2 && shown == "2";
    case Rule::CutToField:
        return expected.size() > 255 && !shown.empty() && shown.size() <= 255 &&
               expected.compare(0, shown.size(), shown) == 0 &&
               (static_cast<unsigned char>(expected[shown.size()]) & 0xC0) != 0x80;
    case Rule::AlbumArtistToo:
        return !reference.albumArtist.empty() && shown == reference.albumArtist;
    }
    return false;
}

// The difference that explains what the report shows, or nullptr.
const AllowedDifference* Explanation(const std::string& extension, const Reference& reference,
                                     Field field, const std::string& shown) {
    for (const AllowedDifference& allowed : AllowedDifferences) {
        bool applies =
            (!*allowed.extension || extension == allowed.extension) &&
            StyleMatches(allowed.style, reference.style) &&
            std::find(allowed.fields.begin(), allowed.fields.end(), field) != allowed.fields.end();
        if (applies && RuleHolds(allowed.rule, shown, reference.values[field], reference))
            return &allowed;
    }
    return nullptr;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

} // namespace

TEST(EncoderCorpus, ReportsAgreeWithFfprobeAndMutagen) {
    const std::string script = std::string(SONO_SOURCE_DIR) + "/scripts/make-encoder-corpus.sh";
    if (testsupport::RunCommand("command -v lame ffmpeg ffprobe flac oggenc wavpack >/dev/null && "
                                "/usr/bin/python3 -c 'import mutagen' 2>/dev/null") != 0)
        GTEST_SKIP() << "the encoders or mutagen are missing (scripts/install-deps.sh)";
    testsupport::TempDir dir;
    const char* count = std::getenv("SONO_ENCODER_CORPUS_COUNT");
    std::string log;
    ASSERT_EQ(0, testsupport::RunCommand(Quoted(script) + " --reference " + Quoted(dir.path()) +
                                             " " + (count ? count : "48") + " 2>&1",
                                         &log))
        << log;

    testsupport::ScopedConfigHome config;
    platform::Profile(u"Orvane", u"Sonoprobe")
        .WriteProfileString(u"Settings", u"Field delimiter binary", u"09");
    const std::string errors = dir.path() + "/stderr.txt";
    std::string out;
    ASSERT_EQ(0, testsupport::RunCommand("cd " + Quoted(dir.path() + "/audio") +
                                             " && DISPLAY= WAYLAND_DISPLAY= " +
                                             Quoted(std::string(SONO_BIN_DIR) + "/Sonoprobe") +
                                             " -a '*.*' 2>" + Quoted(errors),
                                         &out));
    testsupport::Bytes errorBytes = testsupport::ReadFileBytes(errors);
    EXPECT_EQ("", std::string(errorBytes.begin(), errorBytes.end()))
        << "every encoder-made file must be analysed";
    std::map<std::string, Report> reports = ParseReports(out);

    std::map<std::string, Reference> references;
    for (const auto& row : ReadTable(dir.path() + "/manifest.tsv"))
        if (row.size() >= 3)
            references[row[0]].style = row[2];
    for (const auto& row : ReadTable(dir.path() + "/reference.tsv")) {
        ASSERT_GE(row.size(), 11u) << row[0];
        Reference& reference = references[row[0]];
        for (int field = 0; field < FieldCount; ++field)
            reference.values[field] = row[1 + field];
        reference.albumArtist = row[10];
    }
    ASSERT_FALSE(references.empty());
    EXPECT_EQ(reports.size(), references.size());

    std::map<const AllowedDifference*, int> used;
    for (const auto& [name, reference] : references) {
        auto report = reports.find(name);
        if (report == reports.end()) {
            ADD_FAILURE() << name << ": no report";
            continue;
        }
        std::string extension = name.substr(name.rfind('.') + 1);
        std::vector<std::string> shown = ReportValues(report->second);
        for (int field = 0; field < FieldCount; ++field) {
            if (shown[field] == reference.values[field])
                continue;
            const AllowedDifference* allowed =
                Explanation(extension, reference, static_cast<Field>(field), shown[field]);
            if (allowed)
                ++used[allowed];
            else
                ADD_FAILURE() << name << " (" << reference.style << "), " << FieldNames[field]
                              << ": report \"" << shown[field] << "\", reference \""
                              << reference.values[field] << "\"";
        }
    }
    for (const auto& [allowed, times] : used)
        std::cout << "allowed " << times << "x: " << allowed->why << "\n";
}
