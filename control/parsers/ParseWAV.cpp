#include "control/parsers/ParserCommon.h"
#include "control/parsers/Parsers.h"

#include <cstring>

namespace control {
namespace {

constexpr const char* NonValidWave = "%s is non-valid PCM/WAVE file!";

bool ReadTag(platform::InputFile& file, const char* expected) {
    std::memset(ScratchBuffer, 0, 4);
    file.Read(ScratchBuffer, 4);
    return LoadU32LE(ScratchBuffer) == LoadU32LE(reinterpret_cast<const uint8_t*>(expected));
}

uint32_t ReadU32(platform::InputFile& file) {
    uint8_t bytes[4] = {};
    file.Read(bytes, 4);
    return LoadU32LE(bytes);
}

uint16_t ReadU16(platform::InputFile& file) {
    uint8_t bytes[2] = {};
    file.Read(bytes, 2);
    return LoadU16LE(bytes);
}

// The fmt chunk sizes whose first 16 bytes hold the PCM fields: the plain form, the form with
// an (empty) extension size, and the extensible form.
bool IsKnownFmtSize(uint32_t size) { return size == 16 || size == 18 || size == 40; }

} // namespace

int ParseWAV(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName) {
    const uint64_t length = file.GetLength();
    record.Codec = u"PCM (Pulse Code Modulation)";
    if (length < 36 || !ReadTag(file, "RIFF") || ReadU32(file) < 36 || !ReadTag(file, "WAVE") ||
        !ReadTag(file, "fmt "))
        return ReportNonValid(record, fileName, NonValidWave);
    const uint32_t fmtSize = ReadU32(file);
    if (!IsKnownFmtSize(fmtSize))
        return ReportNonValid(record, fileName, NonValidWave);
    const uint64_t headerBytes = 20 + uint64_t{fmtSize};
    if (length < headerBytes)
        return ReportNonValid(record, fileName, NonValidWave);

    ReadU16(file); // format tag: shown like PCM whatever it says
    const uint16_t channels = ReadU16(file);
    const uint32_t samplesPerSecond = ReadU32(file);
    const uint32_t byteRate = ReadU32(file);
    ReadU16(file); // block align
    const uint16_t bitsPerSample = ReadU16(file);

    record.SamplingRate = FormatText("%d Hz", static_cast<int32_t>(samplesPerSecond));
    record.Channels = FormatText("%d channels", channels);
    record.AdditionalInfo = FormatText("%u bit/sample", bitsPerSample);
    record.Bitrate = FormatText("%llu kbps", static_cast<unsigned long long>(byteRate) * 8 / 1000);
    const double seconds =
        byteRate == 0 ? 0.0
                      : static_cast<double>(length - headerBytes) / static_cast<double>(byteRate);
    record.Length = FormatLength(seconds);
    return 0;
}

} // namespace control
