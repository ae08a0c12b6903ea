#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace control {

// What the control saves into a stream: its version and extent and the mask of stock
// properties it uses, four 32-bit little-endian numbers. No property of the control is
// persisted, so a host cannot preset one.
struct PersistedControlState {
    static constexpr uint32_t CurrentVersion = 0x00010000;
    static constexpr size_t StreamSize = 16;
    // The control's size in HIMETRIC units, as the hosts' dialogs give it.
    static constexpr int32_t DefaultExtentX = 291;
    static constexpr int32_t DefaultExtentY = 318;

    uint32_t Version = CurrentVersion;
    int32_t ExtentX = DefaultExtentX;
    int32_t ExtentY = DefaultExtentY;
    uint32_t StockProperties = 0;

    std::array<uint8_t, StreamSize> ToBytes() const;
    // Nothing when the bytes are too few or come from another major version.
    static std::optional<PersistedControlState> FromBytes(const uint8_t* bytes, size_t size);
};

} // namespace control
