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
    std::u16string out(32, u'\0');
    int32_t length = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        status = U_ZERO_ERROR;
        length = unum_formatDecimal(format.get(), ascii.c_str(), static_cast<int32_t>(ascii.size()),
                                    out.data(), static_cast<int32_t>(out.size()), nullptr, &status);
        if (status != U_BUFFER_OVERFLOW_ERROR)
            break;
        out.resize(static_cast<size_t>(length)); // long numbers: the size ICU asked for
    }
    if (U_FAILURE(status) || length < 0 || static_cast<size_t>(length) > out.size())
        return {};
    out.resize(static_cast<size_t>(length));
    return out;
}

} // namespace platform
