#include "control/TagFieldMap.h"
#include "control/TagTextBuffers.h"
#include "control/parsers/ParserCommon.h"
#include "control/parsers/Parsers.h"
#include "control/parsers/WholeFileBitrate.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>

namespace control {
namespace {

constexpr const char* NonValidFLAC = "%s is non-valid FLAC file!";
constexpr uint64_t MinimumLength = 151;
// The first metadata block header and the STREAMINFO fields this parser uses.
constexpr uint32_t StreamInfoBytes = 22;
constexpr uint8_t StreamInfoType = 0;
constexpr uint8_t VorbisCommentType = 4;
// Comment entries longer than this are skipped unread, and the walk stops once the bytes used
// add up to it.
constexpr uint32_t CommentLimit = 4096;
// Each entry takes at least its four length bytes, so that many bytes hold no more entries
// than this. Empty entries add nothing to the bytes used and would keep the walk going to the
// end of the file.
constexpr uint32_t MaxEntries = CommentLimit / 4;

struct StreamInfo {
    uint32_t firstBlockLength;
    uint32_t sampleRate;
    unsigned channelsMinusOne;
    unsigned bitsMinusOne;
    uint64_t totalSamples;
};

using Entry = std::array<uint8_t, CommentLimit>;

bool HasMarker(platform::InputFile& file, uint64_t length) {
    std::memset(ScratchBuffer, 0, 4);
    if (length >= MinimumLength)
        file.Read(ScratchBuffer, 4);
    return std::memcmp(ScratchBuffer, "fLaC", 4) == 0;
}

// The first block is taken to be STREAMINFO whatever its type says.
StreamInfo ReadStreamInfo(platform::InputFile& file) {
    uint8_t bytes[StreamInfoBytes] = {};
    file.Read(bytes, StreamInfoBytes);
    SpreadBits(bytes, StreamInfoBytes);
    StreamInfo info;
    BitCursor = 8;
    info.firstBlockLength = GetBits32(24);
    BitCursor += 16 + 16 + 24 + 24; // block and frame size bounds
    info.sampleRate = GetBits32(20);
    info.channelsMinusOne = GetBits(3);
    info.bitsMinusOne = GetBits(5);
    const uint64_t high = GetBits(4);
    info.totalSamples = high << 32 | GetBits32(32);
    return info;
}

std::u16string ChannelsText(unsigned channelsMinusOne) {
    static constexpr const char* Layouts[6] = {"1/0 (mono)",      "2/0 (L,R)",
                                               "3/0 (L,C,R)",     "2/2 (L,R,l,r)",
                                               "3/2 (L,C,R,l,r)", "3/2 (L,C,R,l,r) + LFE"};
    if (channelsMinusOne < std::size(Layouts))
        return FormatText("%s ch", Layouts[channelsMinusOne]);
    return FormatText("%d channels", channelsMinusOne + 1);
}

// A sample rate of 0 leaves the duration, and with it Length and Bitrate, undefined: both stay
// empty. Total samples of 0 give a zero Length and no Bitrate.
void WriteStreamFields(AnalysisRecord& record, const StreamInfo& info, uint64_t length) {
    record.SamplingRate = FormatText("%d Hz", static_cast<int>(info.sampleRate));
    record.Channels = ChannelsText(info.channelsMinusOne);
    record.AdditionalInfo = FormatText("%u bit/sample", info.bitsMinusOne + 1);
    if (info.sampleRate == 0)
        return;
    const double seconds = static_cast<double>(info.totalSamples) / info.sampleRate;
    record.Length = FormatLength(seconds);
    record.Bitrate = FormatWholeFileBitrate(length, seconds);
}

// Walks the metadata blocks from the second one to the first VORBIS_COMMENT block and returns
// its length, with the file positioned at its data. Ends without one at the last block, at a
// header that the file does not hold whole, and at a second STREAMINFO, which no FLAC file has
// but every zero-filled stretch reads as (walking one would take a step per four bytes).
std::optional<uint32_t> FindVorbisComment(platform::InputFile& file, uint64_t position) {
    for (;;) {
        file.Seek(static_cast<int64_t>(position), platform::InputFile::Origin::Begin);
        uint8_t header[4];
        if (file.Read(header, 4) != 4)
            return std::nullopt;
        const uint32_t blockLength = LoadU32BE(header) & 0xFFFFFF;
        const uint8_t type = header[0] & 0x7F;
        if (type == VorbisCommentType)
            return blockLength;
        if ((header[0] & 0x80) != 0 || type == StreamInfoType)
            return std::nullopt;
        position += 4 + uint64_t{blockLength};
    }
}

bool ReadU32LE(platform::InputFile& file, uint32_t& value) {
    uint8_t bytes[4];
    if (file.Read(bytes, 4) != 4)
        return false;
    value = LoadU32LE(bytes);
    return true;
}

// Keys match without regard to letter case and the first matching row takes the value; for
// a field filled twice (ARTIST= and ALBUMARTIST=) the later entry wins.
void MapEntry(std::string_view entry) {
    if (const std::optional<size_t> row = FindVorbisKeyRow(entry)) {
        const TagFieldRow& mapped = TagFieldMap[*row];
        ModuleTagTexts().StoreUtf8(mapped.field, entry.substr(std::strlen(mapped.vorbisKey)));
    }
}

// The block holds the vendor string, the comment count and the entries, each a 32-bit
// little-endian length and that many bytes of UTF-8. The count of bytes used adds the vendor
// string with its count field and each entry without its length field.
void ReadVorbisComments(platform::InputFile& file, uint32_t blockLength) {
    const uint64_t limit = std::min(blockLength, CommentLimit);
    uint32_t vendorLength = 0;
    uint32_t count = 0;
    if (limit == 0 || !ReadU32LE(file, vendorLength))
        return;
    file.Seek(vendorLength, platform::InputFile::Origin::Current);
    if (!ReadU32LE(file, count))
        return;
    uint64_t used = uint64_t{vendorLength} + 4;
    Entry entry;
    for (uint32_t index = 0; index < count && index < MaxEntries && used < limit; ++index) {
        uint32_t size = 0;
        if (!ReadU32LE(file, size))
            return;
        // A longer entry is skipped unread; the bytes used then pass the limit.
        if (size > CommentLimit)
            return;
        used += size;
        if (file.Read(entry.data(), size) != size)
            return;
        MapEntry(std::string_view(reinterpret_cast<const char*>(entry.data()), size));
    }
}

} // namespace

int ParseFLAC(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName) {
    const uint64_t length = file.GetLength();
    record.Codec = u"FLAC (Free Lossless Audio Codec)";
    if (!HasMarker(file, length))
        return ReportNonValid(record, fileName, NonValidFLAC);

    const StreamInfo info = ReadStreamInfo(file);
    WriteStreamFields(record, info, length);

    // A file without a VORBIS_COMMENT block keeps its tag fields untouched.
    const std::optional<uint32_t> commentLength =
        FindVorbisComment(file, 8 + uint64_t{info.firstBlockLength});
    if (!commentLength)
        return 0;
    ModuleTagTexts().Clear();
    ReadVorbisComments(file, *commentLength);
    // Vorbis comments are UTF-8 whatever the code page.
    ModuleTagTexts().WriteToRecord(record, PlainTextDecoding::Utf8);
    return 0;
}

} // namespace control
