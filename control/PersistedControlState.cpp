#include "control/PersistedControlState.h"

namespace control {
namespace {

void PutLE32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetLE32(const uint8_t* in) {
    return uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16 | uint32_t{in[3]} << 24;
}

} // namespace

std::array<uint8_t, PersistedControlState::StreamSize> PersistedControlState::ToBytes() const {
    std::array<uint8_t, StreamSize> bytes{};
    PutLE32(&bytes[0], Version);
    PutLE32(&bytes[4], static_cast<uint32_t>(ExtentX));
    PutLE32(&bytes[8], static_cast<uint32_t>(ExtentY));
    PutLE32(&bytes[12], StockProperties);
    return bytes;
}

std::optional<PersistedControlState> PersistedControlState::FromBytes(const uint8_t* bytes,
                                                                      size_t size) {
    if (!bytes || size < StreamSize)
        return std::nullopt;
    PersistedControlState state;
    state.Version = GetLE32(&bytes[0]);
    if (state.Version >> 16 != CurrentVersion >> 16)
        return std::nullopt;
    state.ExtentX = static_cast<int32_t>(GetLE32(&bytes[4]));
    state.ExtentY = static_cast<int32_t>(GetLE32(&bytes[8]));
    state.StockProperties = GetLE32(&bytes[12]);
    return state;
}

} // namespace control
