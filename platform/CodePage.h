#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// A text conversion the platform refuses (unknown code page, converter failure).
class ConversionError : public std::runtime_error {
public:
    ConversionError(uint32_t codePage, const std::string& what)
        : std::runtime_error(what), codePage_(codePage) {}
    uint32_t codePage() const { return codePage_; }

private:
    uint32_t codePage_;
};

constexpr uint32_t CP_ACP = 0;
constexpr uint32_t CP_UTF8 = 65001;

// The Windows ANSI code page that fits the user's locale language (LC_ALL, LC_CTYPE, LANG).
uint32_t AnsiCodePage();
// True when a converter exists for the Windows code page number (0 and 65001 included).
bool IsCodePageSupported(uint32_t codePage);
// Windows code page bytes to UTF-16; 0 is AnsiCodePage(). Throws ConversionError when the code
// page has no converter.
std::u16string DecodeCodePage(std::string_view bytes, uint32_t codePage);
// UTF-16 to the code page, best-fit characters where the code page has them, else its default
// character. Throws ConversionError when the code page has no converter.
std::string EncodeCodePage(std::u16string_view text, uint32_t codePage);

std::u16string Utf8ToUtf16(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view text);
// Text for the user's terminal and for files other programs read: the locale's character set
// (UTF-8 on every current system; a C/POSIX locale counts as UTF-8).
std::string ToLocaleCharset(std::u16string_view text);

} // namespace platform
