#include "platform/ComGuid.h"

#include <cstdio>

namespace platform {
namespace {

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Reads `digits` hexadecimal digits at `at`; false when one is not a digit.
bool ReadHex(std::u16string_view text, size_t at, int digits, uint64_t& value) {
    value = 0;
    for (int i = 0; i < digits; ++i) {
        int digit = HexValue(text[at + i]);
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<uint64_t>(digit);
    }
    return true;
}

} // namespace

std::u16string GuidToString(const GUID& guid) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2],
                  guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return std::u16string(text, text + 38);
}

std::optional<GUID> GuidFromString(std::u16string_view text) {
    if (text.size() != 38 || text.front() != u'{' || text.back() != u'}' || text[9] != u'-' ||
        text[14] != u'-' || text[19] != u'-' || text[24] != u'-')
        return std::nullopt;
    GUID guid{};
    uint64_t value = 0;
    if (!ReadHex(text, 1, 8, value))
        return std::nullopt;
    guid.Data1 = static_cast<uint32_t>(value);
    if (!ReadHex(text, 10, 4, value))
        return std::nullopt;
    guid.Data2 = static_cast<uint16_t>(value);
    if (!ReadHex(text, 15, 4, value))
        return std::nullopt;
    guid.Data3 = static_cast<uint16_t>(value);
    // Two bytes before the last dash, six after it.
    const size_t byteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!ReadHex(text, byteAt[i], 2, value))
            return std::nullopt;
        guid.Data4[i] = static_cast<uint8_t>(value);
    }
    return guid;
}

} // namespace platform
