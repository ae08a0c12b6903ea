#include "control/parsers/ParserCommon.h"
#include "control/parsers/Parsers.h"

#include <cstring>
#include <optional>

namespace control {
namespace {

constexpr const char* NonValidOGG = "%s is non-valid OGG file!";
constexpr uint64_t MinimumLength = 151;
constexpr uint32_t FirstSearchOffset = 4;
constexpr uint32_t LastSearchOffset = 999;
constexpr uint32_t SignatureSize = 6;
// Version, channels, sample rate, three bitrates, block sizes and framing flag.
constexpr uint32_t IdentificationSize = 23;

struct Identification {
    uint32_t version;
    uint8_t channels;
    uint32_t sampleRate;
    uint32_t maximum;
    uint32_t nominal;
    uint32_t minimum;
};

bool HasCapturePattern(platform::InputFile& file, uint64_t length) {
    std::memset(ScratchBuffer, 0, 4);
    if (length >= MinimumLength)
        file.Read(ScratchBuffer, 4);
    return std::memcmp(ScratchBuffer, "OggS", 4) == 0;
}

// The first offset from 4 to 999 at which the file holds "vorbis". The search looks at the
// bytes themselves, not at packet boundaries.
std::optional<uint32_t> FindSignature(platform::InputFile& file) {
    file.Seek(FirstSearchOffset, platform::InputFile::Origin::Begin);
    constexpr uint32_t wanted = LastSearchOffset + SignatureSize - FirstSearchOffset;
    static_assert(wanted <= ScratchBufferSize);
    const uint32_t got = file.Read(ScratchBuffer, wanted);
    for (uint32_t at = 0; at + SignatureSize <= got; ++at)
        if (std::memcmp(ScratchBuffer + at, "vorbis", SignatureSize) == 0)
            return FirstSearchOffset + at;
    return std::nullopt;
}

std::optional<Identification> ReadIdentification(platform::InputFile& file, uint32_t signature) {
    file.Seek(signature + SignatureSize, platform::InputFile::Origin::Begin);
    uint8_t bytes[IdentificationSize];
    if (file.Read(bytes, IdentificationSize) != IdentificationSize)
        return std::nullopt;
    return Identification{LoadU32LE(bytes),      bytes[4],
                          LoadU32LE(bytes + 5),  LoadU32LE(bytes + 9),
                          LoadU32LE(bytes + 13), LoadU32LE(bytes + 17)};
}

// Bounds stored as -1 (unset) read as 4,294,967,295 here, as the comparisons expect.
std::u16string BitrateText(const Identification& id) {
    const int kbps = static_cast<int>(id.nominal / 1000);
    if (id.maximum == id.minimum || id.nominal == 0)
        return FormatText("%d kbps", kbps);
    const double nominal = id.nominal;
    const bool variable = id.maximum > 1.1 * nominal && id.minimum < 0.9 * nominal;
    return FormatText("%d kbps (%s)", kbps, variable ? "VBR" : "ABR");
}

} // namespace

int ParseOGG(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName) {
    const uint64_t length = file.GetLength();
    record.Codec = u"OGG Vorbis";
    if (!HasCapturePattern(file, length))
        return ReportNonValid(record, fileName, NonValidOGG);
    const std::optional<uint32_t> signature = FindSignature(file);
    if (!signature)
        return ReportNonValid(record, fileName, NonValidOGG);
    const std::optional<Identification> id = ReadIdentification(file, *signature);
    if (!id || id->version != 0)
        return ReportNonValid(record, fileName, NonValidOGG);

    record.Bitrate = BitrateText(*id);
    record.SamplingRate = FormatText("%d Hz", static_cast<int32_t>(id->sampleRate));
    record.Channels = FormatText("%d channels", id->channels);
    return 0;
}

} // namespace control
