#include "platform/NumberFormat.h"

#include "platform/CodePage.h"
#include "platform/LocaleName.h"

#include <charconv>
#include <memory>
#include <unicode/unum.h>

namespace platform {

namespace {

using FormatPtr = std::unique_ptr<UNumberFormat, decltype(&unum_close)>;

FormatPtr OpenFormat(const std::string& locale) {
    UErrorCode status = U_ZERO_ERROR;
    FormatPtr format(unum_open(UNUM_DECIMAL, nullptr, 0, locale.c_str(), nullptr, &status),
                     &unum_close);
    if (U_FAILURE(status))
        return FormatPtr(nullptr, &unum_close);
    unum_setAttribute(format.get(), UNUM_GROUPING_USED, 1);
    unum_setAttribute(format.get(), UNUM_MIN_FRACTION_DIGITS, 2);
    unum_setAttribute(format.get(), UNUM_MAX_FRACTION_DIGITS, 2);
    return format;
}

// Opening a formatter costs as much as analysing a small file, so each thread keeps the one of
// the current locale.
UNumberFormat* FormatFor(const std::string& locale) {
    thread_local std::string openedFor;
    thread_local FormatPtr format(nullptr, &unum_close);
    if (!format || openedFor != locale) {
        format = OpenFormat(locale);
        openedFor = locale;
    }
    return format.get();
}

} // namespace

std::u16string FormatLocaleNumber(std::u16string_view digits) {
    std::string locale = LocaleName("LC_NUMERIC");
    // The C/POSIX locale formats like en-US, with grouping.
    if (IsPosixLocale(locale))
        locale = "en_US";
    UNumberFormat* format = FormatFor(locale);
    if (!format)
        return {};
    std::string ascii = Utf16ToUtf8(digits);
    if (ascii.empty() || ascii.find_first_not_of("0123456789") != std::string::npos)
        return {};
    // A number that fits 64 bits skips ICU's parsing of decimal text.
    int64_t whole = 0;
    auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), whole);
    const bool fits = error == std::errc() && end == ascii.data() + ascii.size();
    std::u16string out(32, u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    for (int attempt = 0; attempt < 2; ++attempt) {
        status = U_ZERO_ERROR;
        length = fits ? unum_formatInt64(format, whole, out.data(),
                                         static_cast<int32_t>(out.size()), nullptr, &status)
                      : unum_formatDecimal(format, ascii.c_str(),
                                           static_cast<int32_t>(ascii.size()), out.data(),
                                           static_cast<int32_t>(out.size()), nullptr, &status);
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
