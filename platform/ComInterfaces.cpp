#include "platform/ComInterfaces.h"

#include <cstdlib>
#include <cstring>

namespace platform {

void* CoTaskMemAlloc(size_t size) {
    return std::malloc(size == 0 ? 1 : size);
}

void CoTaskMemFree(void* block) {
    std::free(block);
}

char16_t* CoTaskMemString(std::u16string_view text) {
    auto* copy = static_cast<char16_t*>(CoTaskMemAlloc((text.size() + 1) * sizeof(char16_t)));
    if (!copy)
        return nullptr;
    std::memcpy(copy, text.data(), text.size() * sizeof(char16_t));
    copy[text.size()] = u'\0';
    return copy;
}

} // namespace platform
