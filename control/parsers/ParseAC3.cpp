#include "control/parsers/ParserCommon.h"
#include "control/parsers/Parsers.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

namespace control {
namespace {

constexpr const char* NonValidAC3 = "%s is non-valid AC3 file!";
// Files this short cannot hold the sync word and the bit stream information read below.
constexpr uint64_t MinimumLength = 21;
constexpr unsigned InfoBytes = 15;

constexpr const char* SamplingRates[4] = {"48", "44.1", "32", "0"};
constexpr const char* Bitrates[19] = {"32",  "40",  "48",  "56",  "64",  "80",  "96",
                                      "112", "128", "160", "192", "224", "256", "320",
                                      "384", "448", "512", "576", "640"};
constexpr const char* Layouts[8] = {"1+1",           "1/0 (C)",        "2/0 (L,R)",
                                    "3/0 (L,C,R)",   "2/1 (L,R,l)",    "3/1 (L,C,R,l)",
                                    "2/2 (L,R,l,r)", "3/2 (L,C,R,l,r)"};
constexpr const char* CenterMixLevels[3] = {"-3.0 dB", "-4.5 dB", "-6.0 dB"};
constexpr const char* SurroundMixLevels[3] = {"-3.0 dB", "-6.0 dB", "0 dB"};
constexpr const char* RoomTypes[4] = {"", "Large room, X curve monitor", "Small room, flat monitor",
                                      ""};

// The bit stream information fields that the texts use; absent ones keep these defaults.
struct StreamInfo {
    unsigned acmod = 0;
    unsigned cmixlev = 3;
    unsigned surmixlev = 3;
    unsigned dsurmod = 0;
    unsigned lfeon = 0;
    unsigned roomtyp = 0;
};

bool HasSyncWord(platform::InputFile& file, uint64_t length) {
    std::memset(ScratchBuffer, 0, 2);
    if (length >= MinimumLength)
        file.Read(ScratchBuffer, 2);
    return ScratchBuffer[0] == 0x0B && ScratchBuffer[1] == 0x77;
}

// Takes the fields from the bit array, which holds the bytes after fscod/frmsizecod.
StreamInfo TakeStreamInfo() {
    StreamInfo info;
    BitCursor = 0;
    GetBits(5); // bsid
    GetBits(3); // bsmod
    info.acmod = GetBits(3);
    if ((info.acmod & 1) != 0 && info.acmod != 1)
        info.cmixlev = GetBits(2);
    if ((info.acmod & 4) != 0)
        info.surmixlev = GetBits(2);
    if (info.acmod == 2)
        info.dsurmod = GetBits(2);
    info.lfeon = GetBits(1);
    GetBits(5); // dialnorm
    if (GetBits(1) != 0)
        GetBits(8); // compr
    if (GetBits(1) != 0)
        GetBits(8); // langcod
    if (GetBits(1) != 0) {
        GetBits(5); // mixlevel
        info.roomtyp = GetBits(2);
    }
    return info;
}

std::u16string ChannelsText(const StreamInfo& info) {
    std::string text = Layouts[info.acmod];
    if (info.acmod == 2 && info.dsurmod == 2)
        text += " Surround Encoded";
    if (info.lfeon == 1)
        text += " + LFE";
    return FormatText("%s ch", text.c_str());
}

void WriteAdditionalInfo(AnalysisRecord& record, const StreamInfo& info) {
    if (info.cmixlev < 3)
        record.AdditionalInfo = FormatText("Center mix level %s", CenterMixLevels[info.cmixlev]);
    else if (info.surmixlev < 3)
        record.AdditionalInfo =
            FormatText("Surround mix level %s", SurroundMixLevels[info.surmixlev]);
    else if (info.roomtyp != 0)
        record.AdditionalInfo = FormatText("%s", RoomTypes[info.roomtyp]);
}

} // namespace

int ParseAC3(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName) {
    const uint64_t length = file.GetLength();
    record.Codec = u"AC3 Dolby Digital";
    if (!HasSyncWord(file, length))
        return ReportNonValid(record, fileName, NonValidAC3);

    file.Seek(2, platform::InputFile::Origin::Current); // first CRC word
    uint8_t bytes[1 + InfoBytes] = {};
    file.Read(bytes, sizeof bytes);
    const unsigned fscod = bytes[0] >> 6;
    const unsigned index = (bytes[0] >> 1) & 0x1F;

    record.SamplingRate = FormatText("%s kHz", SamplingRates[fscod]);
    const char* bitrate = index < std::size(Bitrates) ? Bitrates[index] : "undefined";
    record.Bitrate = FormatText("%s kbps", bitrate);
    // The whole file counts as audio at the first frame's rate.
    if (const long kbps = std::strtol(bitrate, nullptr, 10); kbps != 0)
        record.Length = FormatLength(static_cast<double>(length) * 8 / 1000 / kbps);

    SpreadBits(bytes + 1, InfoBytes);
    const StreamInfo info = TakeStreamInfo();
    record.Channels = ChannelsText(info);
    WriteAdditionalInfo(record, info);
    return 0;
}

} // namespace control
