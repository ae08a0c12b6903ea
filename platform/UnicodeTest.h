#pragma once
#include <cstddef>

namespace platform {

constexpr int IS_TEXT_UNICODE_ASCII16 = 0x0001;
constexpr int IS_TEXT_UNICODE_STATISTICS = 0x0002;

// Whether the bytes look like UTF-16LE text. ASCII16: every unit is zero-extended ASCII.
// STATISTICS: a statistical look at the units finds them likely to be UTF-16LE (Latin and
// Cyrillic script recognised; ordinary 8-bit and UTF-8 text is not). True when any asked test
// passes.
bool IsTextUnicode(const void* data, size_t size, int tests);

} // namespace platform
