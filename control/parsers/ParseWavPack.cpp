#include "control/TagReaders.h"
#include "control/parsers/ParserCommon.h"
#include "control/parsers/Parsers.h"
#include "control/parsers/WholeFileBitrate.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace control {
namespace {

constexpr const char* NonValidWavPack = "%s is non-valid WavPack file!";
constexpr const char* StreamNotInImage = "%s: Wavepack file into ISO not found!";
constexpr const char* PlainCodec = "WavPack";
constexpr const char* ImageCodec = "ISO with WavPack";

constexpr std::string_view BlockId = "wvpk";
constexpr uint32_t BlockHeaderSize = 32;
// Disc images keep the stream somewhere in their first mebibyte.
constexpr uint64_t ImageSearchLimit = 0x100000;
// The total-samples value of a stream written without knowing its length.
constexpr uint32_t UnknownTotalSamples = 0xFFFFFFFF;

constexpr uint32_t SampleRates[16] = {6000,  8000,  9600,  11025, 12000, 16000, 22050,  24000,
                                      32000, 44100, 48000, 64000, 88200, 96000, 192000, 0};

constexpr uint32_t MonoFlag = 1u << 2;
constexpr uint32_t HybridFlag = 1u << 3;
constexpr uint32_t JointStereoFlag = 1u << 4;
constexpr unsigned SampleRateShift = 23;

struct BlockHeader {
    uint16_t version = 0;
    uint32_t totalSamples = 0;
    uint32_t flags = 0;
};

// Case-sensitive, unlike the extension test that chose this parser.
bool IsImageName(const std::u16string& name) {
    constexpr std::u16string_view ending = u"iso.wv";
    return name.size() >= ending.size() &&
           name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
}

// The offset of the first block identifier that starts in the image's first mebibyte. The
// region is read in one piece, with the three bytes that complete an identifier starting at its
// last offset.
std::optional<uint64_t> FindStreamInImage(platform::InputFile& file, uint64_t length) {
    const uint64_t limit = std::min(length, ImageSearchLimit);
    std::vector<char> head(static_cast<size_t>(std::min(length, limit + BlockId.size() - 1)));
    file.Seek(0, platform::InputFile::Origin::Begin);
    const uint32_t got = file.Read(head.data(), static_cast<uint32_t>(head.size()));
    const size_t at = std::string_view(head.data(), got).find(BlockId);
    if (at == std::string_view::npos || at >= limit)
        return std::nullopt;
    return at;
}

// A header cut off by the end of the file counts as no header.
bool ReadBlockHeader(platform::InputFile& file, uint64_t start, BlockHeader& header) {
    uint8_t bytes[BlockHeaderSize] = {};
    file.Seek(static_cast<int64_t>(start), platform::InputFile::Origin::Begin);
    if (file.Read(bytes, BlockHeaderSize) != BlockHeaderSize ||
        std::memcmp(bytes, BlockId.data(), BlockId.size()) != 0)
        return false;
    header.version = LoadU16LE(bytes + 8);
    header.totalSamples = LoadU32LE(bytes + 12);
    header.flags = LoadU32LE(bytes + 24);
    return true;
}

uint32_t SampleRate(uint32_t flags) {
    return SampleRates[(flags >> SampleRateShift) & 0xF];
}

std::u16string ChannelsText(uint32_t flags) {
    if (flags & MonoFlag)
        return u"1 ch (mono)";
    return flags & JointStereoFlag ? u"2 ch (joint stereo)" : u"2 ch (true stereo)";
}

std::u16string SampleFormatText(uint32_t flags) {
    const unsigned bitsPerSample = (flags & 3) * 8 + 8;
    return FormatText("%u bit/sample (%s mode)", bitsPerSample,
                      flags & HybridFlag ? "hybrid" : "lossless");
}

// Length and bitrate stay empty when the header gives no rate or no known sample count.
void WriteTiming(AnalysisRecord& record, const BlockHeader& header, uint64_t fileLength) {
    const uint32_t rate = SampleRate(header.flags);
    if (rate == 0 || header.totalSamples == UnknownTotalSamples)
        return;
    const double seconds = static_cast<double>(header.totalSamples) / rate;
    record.Length = FormatLength(seconds);
    record.Bitrate = FormatWholeFileBitrate(fileLength, seconds);
}

void WriteStreamFields(AnalysisRecord& record, const char* codec, const BlockHeader& header,
                       uint64_t fileLength) {
    record.Codec = FormatText("%s ver %d.%02d", codec, header.version >> 8, header.version & 0xFF);
    record.Channels = ChannelsText(header.flags);
    record.AdditionalInfo = SampleFormatText(header.flags);
    record.SamplingRate = FormatText("%u Hz", SampleRate(header.flags));
    WriteTiming(record, header, fileLength);
}

// ID3 tags first; the APE tag only when the file has neither ID3 tag.
void ReadTags(platform::InputFile& file, AnalysisRecord& record) {
    uint64_t id3v2Size = 0;
    if (ReadID3Tags(file, id3v2Size, record) == 0)
        ReadAPETag(file, record);
}

} // namespace

int ParseWavPack(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName) {
    const uint64_t length = file.GetLength();
    const bool image = IsImageName(fileName);
    const char* codec = image ? ImageCodec : PlainCodec;
    record.Codec = FormatText("%s", codec);

    uint64_t streamStart = 0;
    if (image) {
        std::optional<uint64_t> found = FindStreamInImage(file, length);
        if (!found)
            return ReportNonValid(record, fileName, StreamNotInImage);
        streamStart = *found;
    }

    BlockHeader header;
    if (length < BlockHeaderSize || !ReadBlockHeader(file, streamStart, header))
        return ReportNonValid(record, fileName, NonValidWavPack);

    WriteStreamFields(record, codec, header, length);
    ReadTags(file, record);
    return 0;
}

} // namespace control
