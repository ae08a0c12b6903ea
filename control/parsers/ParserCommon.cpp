#include "control/parsers/ParserCommon.h"

#include "control/ModuleState.h"
#include "platform/CodePage.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace control {

uint8_t ScratchBuffer[ScratchBufferSize];
uint32_t BitCursor = 0;

void SpreadBits(const uint8_t* bytes, size_t count) {
    count = std::min(count, ScratchBufferSize / 8);
    for (size_t k = 0; k < count; ++k)
        for (unsigned bit = 0; bit < 8; ++bit)
            ScratchBuffer[k * 8 + bit] = (bytes[k] >> (7 - bit)) & 1;
}

uint32_t GetBits32(unsigned n) {
    uint32_t value = 0;
    for (unsigned i = 0; i < n && i < 32; ++i) {
        uint32_t bit = BitCursor < ScratchBufferSize ? ScratchBuffer[BitCursor] & 1 : 0;
        value = value << 1 | bit;
        ++BitCursor;
    }
    return value;
}

uint16_t GetBits(unsigned n) {
    return static_cast<uint16_t>(GetBits32(n > 16 ? 16 : n));
}

std::u16string FormatLength(double seconds) {
    // Hours beyond int range cannot come from a real file; clamp the whole duration rather than
    // the hours alone, which would leave the minutes to overflow.
    constexpr double MaxSeconds = 2147483647.0 * 3600;
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    seconds = std::min(seconds, MaxSeconds);
    double hoursWhole = std::trunc(seconds / 3600);
    double rest = seconds - hoursWhole * 3600;
    double minutesWhole = std::trunc(rest / 60);
    rest -= minutesWhole * 60;
    return FormatText("%02d:%02d:%06.3f", static_cast<int>(hoursWhole),
                      static_cast<int>(minutesWhole), rest);
}

int ReportNonValid(AnalysisRecord& record, const std::u16string& fileName, const char* format,
                   bool topmost) {
    std::u16string message = platform::Utf8ToUtf16(format);
    auto at = message.find(u"%s");
    if (at != std::u16string::npos)
        message.replace(at, 2, fileName);
    record.LastError = message;
    if (ShowMessageBoxEnabled()) {
        unsigned flags = platform::MB_OK | platform::MB_ICONEXCLAMATION;
        if (topmost)
            flags |= platform::MB_TOPMOST;
        platform::ShowMessage(record.LastError, u"Error!", flags);
    }
    return 1;
}

std::u16string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    // Report fields fit the stack buffer; only a longer text is formatted a second time.
    char buffer[256];
    int needed = std::vsnprintf(buffer, sizeof buffer, format, copy);
    va_end(copy);
    std::string text;
    if (needed > 0 && static_cast<size_t>(needed) < sizeof buffer) {
        text.assign(buffer, static_cast<size_t>(needed));
    } else if (needed > 0) {
        text.resize(static_cast<size_t>(needed) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(needed));
    }
    va_end(args);
    return platform::Utf8ToUtf16(text);
}

} // namespace control
