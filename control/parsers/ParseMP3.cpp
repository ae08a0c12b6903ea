#include "control/TagReaders.h"
#include "control/parsers/MpegTables.h"
#include "control/parsers/ParserCommon.h"
#include "control/parsers/Parsers.h"

#include <cmath>
#include <cstring>
#include <optional>

namespace control {
namespace {

using platform::InputFile;

constexpr const char* NonValidMp3 = "%s is non-valid MP3 file!";
constexpr uint64_t SearchWindow = 2048;
constexpr int MaxCandidates = 10;
constexpr uint32_t FirstFrameBytes = 50;
constexpr unsigned Mpeg1 = 3;

struct FrameHeader {
    unsigned version = 0;
    unsigned layer = 0;
    unsigned bitrateIndex = 0;
    unsigned samplingIndex = 0;
    unsigned channelMode = 0;
};

struct XingFields {
    uint32_t frames = 0;
    uint32_t bytes = 0;
};

// Sync, MPEG-1 or MPEG-2, a layer, and a bitrate index that is neither free format nor bad.
bool IsCandidate(const uint8_t* b) {
    const unsigned version = b[1] & 0x18;
    const unsigned bitrate = b[2] & 0xF0;
    return b[0] == 0xFF && (b[1] & 0xE0) == 0xE0 && (version == 0x18 || version == 0x10) &&
           (b[1] & 0x06) != 0 && bitrate != 0x00 && bitrate != 0xF0;
}

// MPEG-1 or MPEG-2 Layer III, with or without CRC: what a ".mp3" file holds.
bool IsLayerIII(uint8_t b1) {
    return b1 == 0xFB || b1 == 0xFA || b1 == 0xF3 || b1 == 0xF2;
}

bool EndsInMp3(const std::u16string& name) {
    if (name.size() < 4)
        return false;
    std::u16string ending = name.substr(name.size() - 4);
    for (char16_t& c : ending)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return ending == u".mp3";
}

// The first frame header in the 2048 bytes after the ID3v2 tag. Of the candidates there at
// most ten are looked at; for ".mp3" files those that are not Layer III are passed over.
std::optional<uint64_t> FindFirstFrame(InputFile& file, uint64_t start, bool layerIIIOnly) {
    const uint64_t length = file.GetLength();
    if (length < 4)
        return std::nullopt;
    const uint64_t end = std::min(start + SearchWindow, length - 4);
    int candidates = 0;
    for (uint64_t position = start; position < end; ++position) {
        uint8_t bytes[4];
        file.Seek(static_cast<int64_t>(position), InputFile::Origin::Begin);
        if (file.Read(bytes, 4) < 4)
            return std::nullopt;
        if (!IsCandidate(bytes))
            continue;
        if (!layerIIIOnly || IsLayerIII(bytes[1]))
            return position;
        if (++candidates == MaxCandidates)
            return std::nullopt;
    }
    return std::nullopt;
}

FrameHeader DecodeHeader(const uint8_t* frame) {
    SpreadBits(frame, FirstFrameBytes);
    FrameHeader header;
    BitCursor = 11;
    header.version = GetBits(2);
    header.layer = GetBits(2);
    BitCursor += 1; // protection
    header.bitrateIndex = GetBits(4);
    header.samplingIndex = GetBits(2);
    BitCursor += 2; // padding, private
    header.channelMode = GetBits(2);
    return header;
}

// The offset just after a "Xing" magic in the first frame's bytes.
std::optional<uint32_t> FindXing(const uint8_t* frame) {
    for (uint32_t k = 0; k + 4 <= FirstFrameBytes; ++k)
        if (std::memcmp(frame + k, "Xing", 4) == 0)
            return k + 4;
    return std::nullopt;
}

// Bytes the file does not hold count as zero.
uint32_t ReadU32BE(InputFile& file) {
    uint8_t bytes[4] = {};
    file.Read(bytes, 4);
    return LoadU32BE(bytes);
}

XingFields ReadXing(InputFile& file, uint64_t at) {
    file.Seek(static_cast<int64_t>(at), InputFile::Origin::Begin);
    const uint32_t flags = ReadU32BE(file) & 0x0F;
    XingFields fields;
    if (flags & 1)
        fields.frames = ReadU32BE(file);
    if (flags & 2)
        fields.bytes = ReadU32BE(file);
    return fields;
}

// The average bitrate of a Xing file; 0 when no frame count can be had.
double XingBitrate(const XingFields& xing, double audioBytes, const FrameHeader& header,
                   int32_t tableBitrate) {
    const double perKilobit = MpegSamplingRate(header.version, header.samplingIndex) /
                              (header.version == Mpeg1 ? 144000.0 : 72000.0);
    double frames = xing.frames;
    if (frames == 0 && tableBitrate > 0)
        frames = std::trunc(audioBytes * perKilobit / tableBitrate);
    return frames > 0 ? audioBytes * perKilobit / frames : 0.0;
}

void WriteStreamFields(AnalysisRecord& record, const FrameHeader& header) {
    const MpegChannelMode mode = MpegChannelModeOf(header.channelMode);
    record.Codec =
        FormatText("%s %s", MpegVersionName(header.version), MpegLayerName(header.layer));
    record.SamplingRate =
        FormatText("%d Hz", MpegSamplingRate(header.version, header.samplingIndex));
    record.Channels = FormatText("%d channels", mode.channels);
    record.AdditionalInfo = FormatText("%s", mode.text);
}

} // namespace

int ParseMP3(AnalysisRecord& record, InputFile& file, std::u16string fileName) {
    const uint64_t length = file.GetLength();
    uint64_t audioStart = 0;
    const uint64_t tagBytes = static_cast<uint32_t>(ReadID3Tags(file, audioStart, record));

    const std::optional<uint64_t> frameStart =
        FindFirstFrame(file, audioStart, EndsInMp3(fileName));
    if (!frameStart)
        return ReportNonValid(record, fileName, NonValidMp3, true);

    uint8_t frame[FirstFrameBytes] = {};
    file.Seek(static_cast<int64_t>(*frameStart), InputFile::Origin::Begin);
    file.Read(frame, FirstFrameBytes);
    const FrameHeader header = DecodeHeader(frame);
    const std::optional<uint32_t> xingAt = FindXing(frame);

    double audioBytes = length > tagBytes ? static_cast<double>(length - tagBytes) : 0.0;
    const int32_t tableBitrate = MpegBitrate(header.version, header.layer, header.bitrateIndex);
    double bitrate = tableBitrate;
    if (xingAt) {
        const XingFields xing = ReadXing(file, *frameStart + *xingAt);
        if (xing.bytes != 0)
            audioBytes = xing.bytes;
        bitrate = XingBitrate(xing, audioBytes, header, tableBitrate);
        record.Bitrate = FormatText("%.1f kbps (VBR)", bitrate);
    } else {
        record.Bitrate = FormatText("%d kbps", tableBitrate);
    }
    WriteStreamFields(record, header);
    record.Length = FormatLength(bitrate > 0 ? audioBytes * 8 / 1000 / bitrate : 0.0);
    return 0;
}

} // namespace control
