#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace control {

// The wide text of a tag buffer that ReadID3Tags filled with 8-bit bytes. The buffer's text
// ends at its first zero byte. When the Unicode-text test takes the bytes for UTF-16, they are
// read as UTF-8 (second byte 0x20 or more) or as UTF-16LE up to the first zero unit (how a tag
// written in the Unicode form of the tag writer stores its text); otherwise they are decoded
// with the code page.
std::u16string DecodeTagText(std::string_view buffer, uint32_t codePage);

// 8-bit text decoded with a code page (0 is the locale's ANSI code page). A code page that the
// platform cannot convert with falls back to 0 rather than failing the analysis.
std::u16string DecodeCodePageText(std::string_view bytes, uint32_t codePage);

} // namespace control
