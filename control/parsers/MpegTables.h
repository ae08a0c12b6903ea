#pragma once
#include <cstdint>

namespace control {

// The tables that turn MPEG audio frame header fields into names and numbers. Version: 3
// MPEG-1, 2 MPEG-2, 0 MPEG-2.5, 1 reserved. Layer: 3 Layer I, 2 Layer II, 1 Layer III, 0
// reserved. Out-of-range fields give empty names and 0.

const char* MpegVersionName(unsigned version);
const char* MpegLayerName(unsigned layer);
// Hz, by version and sampling-rate index 0 to 3.
int32_t MpegSamplingRate(unsigned version, unsigned index);
// kbps, by version, layer and bitrate index; index 0 (free format) and 15 give 0.
int32_t MpegBitrate(unsigned version, unsigned layer, unsigned index);

struct MpegChannelMode {
    int32_t channels;
    const char* text;
};
MpegChannelMode MpegChannelModeOf(unsigned mode);

} // namespace control
