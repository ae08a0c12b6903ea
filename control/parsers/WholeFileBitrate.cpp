#include "control/parsers/WholeFileBitrate.h"

#include "control/parsers/ParserCommon.h"

#include <cmath>

namespace control {

std::u16string FormatWholeFileBitrate(uint64_t fileLength, double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0)
        return {};
    const double kbps = std::trunc(static_cast<double>(fileLength) * 8 / (seconds * 1000));
    if (!std::isfinite(kbps))
        return {};
    // Printed from the double itself: a tiny duration gives a figure beyond any integer type.
    return FormatText("%.0f kbps", kbps);
}

} // namespace control
