#include "platform/AutomationString.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace platform {
namespace {

constexpr size_t PrefixSize = sizeof(uint32_t);

uint32_t* PrefixOf(BSTR text) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(text) - PrefixSize);
}

} // namespace

BSTR SysAllocStringLen(const char16_t* text, uint32_t length) {
    // The byte count must fit the 32-bit prefix.
    if (length > (std::numeric_limits<uint32_t>::max() - sizeof(char16_t)) / sizeof(char16_t))
        return nullptr;
    const size_t bytes = size_t{length} * sizeof(char16_t);
    auto* block = static_cast<char*>(std::malloc(PrefixSize + bytes + sizeof(char16_t)));
    if (!block)
        return nullptr;
    const uint32_t prefix = static_cast<uint32_t>(bytes);
    std::memcpy(block, &prefix, PrefixSize);
    auto* characters = reinterpret_cast<char16_t*>(block + PrefixSize);
    if (text)
        std::memcpy(characters, text, bytes);
    else
        std::memset(characters, 0, bytes);
    characters[length] = u'\0';
    return characters;
}

BSTR SysAllocString(const char16_t* text) {
    if (!text)
        return nullptr;
    return AllocAutomationString(std::u16string_view(text));
}

BSTR AllocAutomationString(std::u16string_view text) {
    if (text.size() > std::numeric_limits<uint32_t>::max())
        return nullptr;
    return SysAllocStringLen(text.data(), static_cast<uint32_t>(text.size()));
}

void SysFreeString(BSTR text) {
    if (text)
        std::free(PrefixOf(text));
}

uint32_t SysStringLen(BSTR text) {
    if (!text)
        return 0;
    uint32_t bytes;
    std::memcpy(&bytes, PrefixOf(text), PrefixSize);
    return bytes / sizeof(char16_t);
}

std::u16string AutomationStringText(BSTR text) {
    return text ? std::u16string(text, SysStringLen(text)) : std::u16string();
}

BSTR* AutomationString::Receive() {
    SysFreeString(text_);
    text_ = nullptr;
    return &text_;
}

} // namespace platform
