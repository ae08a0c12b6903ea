#include "control/parsers/ParserCommon.h"
#include "control/parsers/Parsers.h"

#include <algorithm>
#include <cstring>

namespace control {
namespace {

constexpr const char* NonValidDTS = "%s is non-valid DTS file!";
// Files this short cannot hold the sync word and the frame header read below.
constexpr uint64_t MinimumLength = 12;
constexpr unsigned HeaderBytes = 7;

constexpr const char* Arrangements[17] = {"1/0 (mono)",
                                          "1+1 (dual mono)",
                                          "2/0 (L+R stereo)",
                                          "2/0 (L+R)",
                                          "2/0 (L+R)",
                                          "3/0 (L+C+R)",
                                          "2/1 (L+R+S)",
                                          "3/1 (L+C+R+S)",
                                          "2/2 (L+R+SL+SR)",
                                          "3/2 (L+C+R+SL+SR)",
                                          "2.2/2 (CL+CR+L+R+SL+SR)",
                                          "3/2+1 (L+C+R+LR+RR+OV)",
                                          "2.2/2 (CF+CR+LF+RF+LR+RR)",
                                          "3.2/2 (CL+C+CR+L+R+SL+SR)",
                                          "2.2/4 (CL+CR+L+R+SL1+SL2+SR1+SR2)",
                                          "3.2/3 (CL+C+CR+L+R+SL+S+SR)",
                                          "user defined"};
constexpr const char* SamplingFrequencies[15] = {
    "invalid",  "8 KHz",   "16 KHz",  "32 KHz", "invalid", "invalid", "11025 Hz", "22050 Hz",
    "44100 Hz", "invalid", "invalid", "12 KHz", "24 KHz",  "48 KHz",  "invalid"};
// Open, variable and lossless rates (the last three codes) count as 0.
constexpr int Rates[32] = {32,   56,   64,   96,   112,  128,  192,  224,  256,  320,  384,
                           448,  512,  576,  640,  768,  960,  1024, 1152, 1280, 1344, 1408,
                           1411, 1472, 1536, 1920, 2048, 3072, 3840, 0,    0,    0};
constexpr const char* Extensions[8] = {"Channel Extension",
                                       "Reserved",
                                       "Frequency Extension",
                                       "Channel Extension + Frequency Extension",
                                       "",
                                       "",
                                       "",
                                       ""};

struct FrameHeader {
    unsigned amode = 0;
    unsigned sfreq = 0;
    unsigned rate = 0;
    unsigned extension = 0;
};

bool HasSyncWord(platform::InputFile& file, uint64_t length) {
    std::memset(ScratchBuffer, 0, 4);
    if (length >= MinimumLength)
        file.Read(ScratchBuffer, 4);
    static constexpr uint8_t Sync[4] = {0x7F, 0xFE, 0x80, 0x01};
    return std::memcmp(ScratchBuffer, Sync, 4) == 0;
}

FrameHeader ReadFrameHeader(platform::InputFile& file) {
    uint8_t bytes[HeaderBytes] = {};
    file.Read(bytes, HeaderBytes);
    SpreadBits(bytes, HeaderBytes);
    FrameHeader header;
    BitCursor = 28; // frame type, deficit samples, CRC flag, blocks, frame size
    header.amode = GetBits(6);
    header.sfreq = GetBits(4);
    header.rate = GetBits(5);
    BitCursor += 5; // mix, dynamic range, time stamp, auxiliary data and HDCD flags
    header.extension = GetBits(3);
    return header;
}

// The rate the length estimate divides by: slightly below the nominal one.
double EffectiveRate(int kbps) {
    if (kbps == 768)
        return 754.5;
    if (kbps == 1536)
        return 1509.75;
    return kbps / 1.017;
}

} // namespace

int ParseDTS(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName) {
    const uint64_t length = file.GetLength();
    record.Codec = u"DTS Dolby Digital";
    if (!HasSyncWord(file, length))
        return ReportNonValid(record, fileName, NonValidDTS);

    const FrameHeader header = ReadFrameHeader(file);
    record.Channels = FormatText("%s", Arrangements[std::min(header.amode, 16u)]);
    record.SamplingRate = FormatText("%s", SamplingFrequencies[std::min(header.sfreq, 14u)]);
    const int kbps = Rates[header.rate];
    record.Bitrate = FormatText("%d kbps", kbps);
    // The whole file counts as audio.
    if (kbps != 0)
        record.Length = FormatLength(static_cast<double>(length) * 8 / 1000 / EffectiveRate(kbps));
    record.AdditionalInfo = FormatText("%s", Extensions[header.extension]);
    return 0;
}

} // namespace control
