#include "control/parsers/MpegTables.h"

namespace control {
namespace {

constexpr unsigned Mpeg1 = 3;
constexpr unsigned ReservedVersion = 1;

constexpr const char* VersionNames[4] = {"MPA-2.5", "", "MPA-2", "MPA-1"};
constexpr const char* LayerNames[4] = {"", "Layer III", "Layer II", "Layer I"};

constexpr int32_t SamplingRates[4][4] = {
    {11025, 12000, 8000, 0}, // MPEG-2.5
    {0, 0, 0, 0},            // reserved
    {22050, 24000, 16000, 0},
    {44100, 48000, 32000, 0},
};

// Index 1 to 14 of ISO/IEC 11172-3 and 13818-3; MPEG-2.5 uses the MPEG-2 rows.
constexpr int32_t Mpeg1Bitrates[3][14] = {
    {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // Layer III
    {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // Layer II
    {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // Layer I
};
constexpr int32_t Mpeg2Bitrates[3][14] = {
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},      // Layer III
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},      // Layer II
    {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256}, // Layer I
};

constexpr MpegChannelMode ChannelModes[4] = {
    {2, "Stereo"}, {2, "Joint Stereo"}, {2, "Dual channel"}, {1, "Single channel"}};

} // namespace

const char* MpegVersionName(unsigned version) {
    return version < 4 ? VersionNames[version] : "";
}

const char* MpegLayerName(unsigned layer) {
    return layer < 4 ? LayerNames[layer] : "";
}

int32_t MpegSamplingRate(unsigned version, unsigned index) {
    return version < 4 && index < 4 ? SamplingRates[version][index] : 0;
}

int32_t MpegBitrate(unsigned version, unsigned layer, unsigned index) {
    if (version >= 4 || version == ReservedVersion || layer == 0 || layer >= 4 || index == 0 ||
        index >= 15)
        return 0;
    const auto& rows = version == Mpeg1 ? Mpeg1Bitrates : Mpeg2Bitrates;
    return rows[layer - 1][index - 1];
}

MpegChannelMode MpegChannelModeOf(unsigned mode) {
    return mode < 4 ? ChannelModes[mode] : MpegChannelMode{0, ""};
}

} // namespace control
