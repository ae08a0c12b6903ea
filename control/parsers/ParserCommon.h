#pragma once
#include "control/AnalysisRecord.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace control {

// Shared ground of the stream parsers: a module-wide scratch buffer that holds magic numbers
// and the spread bit array, the bit cursor, the duration text and the failure report.
// Module-wide and unguarded: one analysis at a time per process.

constexpr size_t ScratchBufferSize = 1024;
extern uint8_t ScratchBuffer[ScratchBufferSize];
extern uint32_t BitCursor;

// Spreads up to 128 bytes into ScratchBuffer, one bit per entry, most significant bit first.
// Longer runs are cut at 128 bytes.
void SpreadBits(const uint8_t* bytes, size_t count);
// Takes n bits (1..16) from the bit array at BitCursor, the first one most significant.
// Entries past the end of the array count as 0 bits.
uint16_t GetBits(unsigned n);
// The same for n from 1 to 32.
uint32_t GetBits32(unsigned n);

// "%02d:%02d:%06.3f" with hours (not limited to two digits), minutes and seconds.
std::u16string FormatLength(double seconds);

// LastError = format with "%s" replaced by the file name; shows the "Error!" box when
// ShowMessageBox is on (kept above other windows when topmost). Returns 1, the parser's result.
int ReportNonValid(AnalysisRecord& record, const std::u16string& fileName, const char* format,
                   bool topmost = false);

// printf into wide text; the format and the arguments are ASCII or UTF-8.
std::u16string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Little- and big-endian numbers from a byte run.
inline uint16_t LoadU16LE(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t LoadU32LE(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t LoadU16BE(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint32_t LoadU32BE(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}

} // namespace control
