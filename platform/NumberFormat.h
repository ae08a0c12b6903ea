#pragma once
#include <string>
#include <string_view>

namespace platform {

// The digits formatted as a number in the user's locale with its default grouping and two
// decimals, as GetNumberFormatW does: "10584044" gives "10,584,044.00" in en-US and in the
// C/POSIX locale. Empty when the digits are not a number.
std::u16string FormatLocaleNumber(std::u16string_view digits);

} // namespace platform
