#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A 128-bit identifier of a class, an interface or a type library, with the layout and the
// text form the component model uses everywhere (registry keys, ProgID entries).
struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
    friend bool operator==(const GUID&, const GUID&) = default;
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const GUID&;
using REFCLSID = const GUID&;

inline constexpr GUID IID_NULL{};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": the first 32-bit part, the two 16-bit parts, then
// the eight bytes, in upper-case hexadecimal.
std::u16string GuidToString(const GUID& guid);
// Reads that form (letter case ignored, braces required); nothing when the text is malformed.
std::optional<GUID> GuidFromString(std::u16string_view text);

} // namespace platform
