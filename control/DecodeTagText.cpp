#include "control/DecodeTagText.h"

#include "platform/CodePage.h"
#include "platform/UnicodeTest.h"

#include <algorithm>

namespace control {
namespace {

std::u16string DecodeUtf16LE(std::string_view bytes) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                                static_cast<uint8_t>(bytes[i + 1]) << 8);
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

} // namespace

std::u16string DecodeCodePageText(std::string_view bytes, uint32_t codePage) {
    try {
        return platform::DecodeCodePage(bytes, codePage);
    } catch (const platform::ConversionError&) {
        if (codePage == platform::CP_ACP)
            throw;
        return platform::DecodeCodePage(bytes, platform::CP_ACP);
    }
}

std::u16string DecodeTagText(std::string_view buffer, uint32_t codePage) {
    const std::string_view text = buffer.substr(0, std::min(buffer.find('\0'), buffer.size()));
    // The test looks at the terminator and the byte after it too, so that one UTF-16 unit of
    // zero-extended ASCII is seen whole.
    const size_t tested = std::min(text.size() + 2, buffer.size());
    const bool unicode = platform::IsTextUnicode(buffer.data(), tested,
                                                 platform::IS_TEXT_UNICODE_ASCII16 |
                                                     platform::IS_TEXT_UNICODE_STATISTICS);
    if (unicode && buffer.size() > 1 && static_cast<uint8_t>(buffer[1]) >= 0x20)
        return platform::Utf8ToUtf16(text);
    if (unicode)
        return DecodeUtf16LE(buffer);
    return DecodeCodePageText(text, codePage);
}

} // namespace control
