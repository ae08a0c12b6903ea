#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// An automation string (BSTR): UTF-16 characters preceded by their length in bytes (32 bits)
// and followed by a terminating zero. The pointer addresses the first character, so it reads
// as a C string, while the prefix keeps embedded zeros. Whoever receives one from a call owns
// it and frees it with SysFreeString; the null pointer stands for the empty string.
using BSTR = char16_t*;

// A copy of the zero-terminated text; null for a null text or when memory runs out.
BSTR SysAllocString(const char16_t* text);
// A string of `length` characters copied from `text` (zeros when `text` is null); null when
// memory runs out.
BSTR SysAllocStringLen(const char16_t* text, uint32_t length);
// A copy of the view with its full length; null when memory runs out.
BSTR AllocAutomationString(std::u16string_view text);
void SysFreeString(BSTR text);
// The length in characters; 0 for null.
uint32_t SysStringLen(BSTR text);
// The characters with their full length; empty for null.
std::u16string AutomationStringText(BSTR text);

// Owns one automation string and frees it at the end of its scope.
class AutomationString {
  public:
    AutomationString() = default;
    // Takes over a string that a call returned.
    explicit AutomationString(BSTR owned) : text_(owned) {}
    ~AutomationString() { SysFreeString(text_); }
    AutomationString(const AutomationString&) = delete;
    AutomationString& operator=(const AutomationString&) = delete;

    BSTR Get() const { return text_; }
    // Where a call stores the string it returns; frees the one held before.
    BSTR* Receive();
    std::u16string Text() const { return AutomationStringText(text_); }

  private:
    BSTR text_ = nullptr;
};

} // namespace platform
