#include "platform/NumberFormat.h"

#include "platform/CodePage.h"
#include "platform/LocaleName.h"

#include <memory>
#include <unicode/unum.h>

namespace platform {

std::u16string FormatLocaleNumber(std::u16string_view digits) {
    std::string locale = LocaleName("LC_NUMERIC");
    // The C/POSIX locale formats like en-US, with grouping.
    if (IsPosixLocale(locale))
        locale = "en_US";
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UNumberFormat, decltype(&unum_close)> format(
        unum_open(UNUM_DECIMAL, nullptr, 0, locale.c_str(), nullptr, &status), &unum_close);
    if (U_FAILURE(status))
        return {};
    unum_setAttribute(format.get(), UNUM_GROUPING_USED, 1);
    unum_setAttribute(format.get(), UNUM_MIN_FRACTION_DIGITS, 2);
    unum_setAttribute(format.get(), UNUM_MAX_FRACTION_DIGITS, 2);
    std::string ascii = Utf16ToUtf8(digits);
    if (ascii.empty() || ascii.find_first_not_of("0123456789") != std::string::npos)
        return {};
    UChar out[64];
    int32_t length = unum_formatDecimal(format.get(), ascii.c_str(),
                                        static_cast<int32_t>(ascii.size()), out, 64, nullptr,
                                        &status);
    if (U_FAILURE(status) || length > 64)
        return {};
    return std::u16string(reinterpret_cast<const char16_t*>(out), static_cast<size_t>(length));
}

} // namespace platform
