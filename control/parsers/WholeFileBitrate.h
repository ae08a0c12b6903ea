#pragma once
#include <cstdint>
#include <string>

namespace control {

// "%d kbps" for a stream whose whole file, tags included, plays for the given seconds: the file
// length in bits over the duration in milliseconds, truncated toward zero. Empty when the
// duration is not a positive finite number, so that an unknown duration shows no figure rather
// than "inf" or a division by zero.
std::u16string FormatWholeFileBitrate(uint64_t fileLength, double seconds);

} // namespace control
