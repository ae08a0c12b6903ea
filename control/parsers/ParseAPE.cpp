#include "control/TagReaders.h"
#include "control/parsers/ParserCommon.h"
#include "control/parsers/Parsers.h"
#include "control/parsers/WholeFileBitrate.h"

#include <cstring>

namespace control {
namespace {

constexpr const char* NonValidApe = "%s is non-valid APE file!";

// Files this short cannot hold the identifier, the version and either header.
constexpr uint64_t MinimumLength = 81;
// From this version on a descriptor precedes the header; it is taken to be 52 bytes long.
constexpr uint16_t DescriptorVersion = 3980;
constexpr int64_t NewHeaderOffset = 52;
constexpr uint32_t OldHeaderSize = 26;
constexpr uint32_t NewHeaderSize = 24;

constexpr const char* LevelTexts[] = {"fast", "normal", "high", "extra-high", "insane", ""};

struct StreamHeader {
    uint16_t version = 0;
    uint16_t level = 0;
    uint16_t bitsPerSample = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t blocksPerFrame = 0;
    uint32_t finalFrameBlocks = 0;
    uint32_t totalFrames = 0;
};

bool ReadIdentifier(platform::InputFile& file, uint64_t length) {
    std::memset(ScratchBuffer, 0, 4);
    if (length >= MinimumLength)
        file.Read(ScratchBuffer, 4);
    return std::memcmp(ScratchBuffer, "MAC ", 4) == 0;
}

uint16_t ReadVersion(platform::InputFile& file) {
    uint8_t bytes[2] = {};
    file.Read(bytes, 2);
    return LoadU16LE(bytes);
}

uint16_t OldBitsPerSample(uint16_t formatFlags) {
    if (formatFlags & 1)
        return 8;
    return formatFlags & 8 ? 24 : 16;
}

uint32_t OldBlocksPerFrame(uint16_t version, uint16_t level) {
    if (version >= 3950)
        return 294912;
    if (version >= 3900 || (version >= 3800 && level == 4000))
        return 73728;
    return 9216;
}

// Before the descriptor existed the header followed the version directly, and the frame size
// was implied by the version and the compression level.
void ReadOldHeader(platform::InputFile& file, StreamHeader& header) {
    uint8_t bytes[OldHeaderSize] = {};
    file.Read(bytes, OldHeaderSize);
    header.level = LoadU16LE(bytes);
    header.bitsPerSample = OldBitsPerSample(LoadU16LE(bytes + 2));
    header.channels = LoadU16LE(bytes + 4);
    header.sampleRate = LoadU32LE(bytes + 6);
    header.totalFrames = LoadU32LE(bytes + 18);
    header.finalFrameBlocks = LoadU32LE(bytes + 22);
    header.blocksPerFrame = OldBlocksPerFrame(header.version, header.level);
}

void ReadNewHeader(platform::InputFile& file, StreamHeader& header) {
    uint8_t bytes[NewHeaderSize] = {};
    file.Seek(NewHeaderOffset, platform::InputFile::Origin::Begin);
    file.Read(bytes, NewHeaderSize);
    header.level = LoadU16LE(bytes);
    header.blocksPerFrame = LoadU32LE(bytes + 4);
    header.finalFrameBlocks = LoadU32LE(bytes + 8);
    header.totalFrames = LoadU32LE(bytes + 12);
    header.bitsPerSample = LoadU16LE(bytes + 16);
    header.channels = LoadU16LE(bytes + 18);
    header.sampleRate = LoadU32LE(bytes + 20);
}

// Every frame but the last is full. In 64 bits the product cannot wrap: a stream claiming no
// frames at all has no blocks rather than some four billion.
uint64_t TotalBlocks(const StreamHeader& header) {
    if (header.totalFrames == 0)
        return 0;
    return uint64_t{header.totalFrames - 1} * header.blocksPerFrame + header.finalFrameBlocks;
}

const char* LevelText(uint16_t level) {
    const uint16_t row = static_cast<uint16_t>(level / 1000 - 1);
    return LevelTexts[row < 5 ? row : 5];
}

void WriteStreamFields(AnalysisRecord& record, const StreamHeader& header, uint64_t totalBlocks,
                       uint64_t fileLength) {
    record.AdditionalInfo =
        FormatText("%u bit/sample (%s compression)", header.bitsPerSample, LevelText(header.level));
    const double seconds = static_cast<double>(totalBlocks) / header.sampleRate;
    record.Length = FormatLength(seconds);
    record.SamplingRate = FormatText("%u Hz", header.sampleRate);
    record.Channels = FormatText("%u channels", header.channels);
    record.Bitrate = FormatWholeFileBitrate(fileLength, seconds);
}

} // namespace

int ParseAPE(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName) {
    const uint64_t length = file.GetLength();
    record.Codec = u"Monkey\u2019s Audio (APE)";

    ReadAPETag(file, record);
    file.Seek(0, platform::InputFile::Origin::Begin);
    if (!ReadIdentifier(file, length))
        return ReportNonValid(record, fileName, NonValidApe);

    StreamHeader header;
    header.version = ReadVersion(file);
    record.Codec = FormatText("Monkey\u2019s Audio ver %d.%02d", header.version / 1000,
                              header.version % 1000 / 10);
    if (header.version < DescriptorVersion)
        ReadOldHeader(file, header);
    else
        ReadNewHeader(file, header);

    const uint64_t totalBlocks = TotalBlocks(header);
    if (totalBlocks == 0 || header.sampleRate == 0 || header.channels == 0 ||
        header.bitsPerSample == 0)
        return ReportNonValid(record, fileName, NonValidApe);

    WriteStreamFields(record, header, totalBlocks, length);
    return 0;
}

} // namespace control
