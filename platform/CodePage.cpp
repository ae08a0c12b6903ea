#include "platform/CodePage.h"

#include "platform/LocaleName.h"

#include <algorithm>
#include <langinfo.h>
#include <map>
#include <memory>
#include <mutex>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <vector>

namespace platform {
namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// ICU names to try for a Windows code page number, best first.
std::vector<std::string> IcuNamesFor(uint32_t codePage) {
    switch (codePage) {
    case 65001:
        return {"UTF-8"};
    case 1200:
        return {"UTF-16LE"};
    case 1201:
        return {"UTF-16BE"};
    case 20127:
        return {"US-ASCII"};
    case 20866:
        return {"KOI8-R"};
    case 21866:
        return {"KOI8-U"};
    case 10000:
        return {"macintosh"};
    case 932:
        return {"windows-31j", "cp932"};
    case 936:
        return {"windows-936", "GBK"};
    case 949:
        return {"windows-949"};
    case 950:
        return {"windows-950"};
    case 54936:
        return {"GB18030"};
    default:
        break;
    }
    std::string number = std::to_string(codePage);
    if (codePage >= 28591 && codePage <= 28606)
        return {"ISO-8859-" + std::to_string(codePage - 28590)};
    return {"windows-" + number, "cp" + number, "ibm-" + number};
}

// The letter an accented letter is built on (A for Ā), or 0 when there is none.
UChar BaseLetter(UChar32 codePoint) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* decomposition = unorm2_getNFDInstance(&status);
    UChar parts[8];
    int32_t length = U_SUCCESS(status)
                         ? unorm2_getRawDecomposition(decomposition, codePoint, parts, 8, &status)
                         : 0;
    if (U_FAILURE(status) || length < 2 || U16_IS_SURROGATE(parts[0]))
        return 0;
    for (int32_t i = 1; i < length; ++i)
        if (u_charType(parts[i]) != U_NON_SPACING_MARK)
            return 0;
    return parts[0];
}

// Best fit for characters the code page lacks: an accented letter is written as its base
// letter, as the system's best-fit tables do (Ā as A, ő as o); anything else becomes the
// substitution character.
void BestFitCallback(const void* context, UConverterFromUnicodeArgs* args, const UChar* units,
                     int32_t length, UChar32 codePoint, UConverterCallbackReason reason,
                     UErrorCode* status) {
    UChar base = reason == UCNV_UNASSIGNED ? BaseLetter(codePoint) : 0;
    if (base) {
        *status = U_ZERO_ERROR;
        const UChar* source = &base;
        ucnv_cbFromUWriteUChars(args, &source, source + 1, 0, status);
        return;
    }
    UCNV_FROM_U_CALLBACK_SUBSTITUTE(context, args, units, length, codePoint, reason, status);
}

ConverterPtr OpenConverter(uint32_t codePage) {
    uint32_t effective = codePage == CP_ACP ? AnsiCodePage() : codePage;
    for (const std::string& name : IcuNamesFor(effective)) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open(name.c_str(), &status);
        if (U_SUCCESS(status) && converter) {
            ucnv_setFallback(converter, true);
            UErrorCode ignored = U_ZERO_ERROR;
            ucnv_setSubstChars(converter, "?", 1, &ignored);
            ucnv_setFromUCallBack(converter, BestFitCallback, nullptr, nullptr, nullptr, &ignored);
            return ConverterPtr(converter);
        }
    }
    throw ConversionError(codePage, "No converter for code page " + std::to_string(codePage));
}

// Opening a converter costs more than most conversions, so each thread keeps the ones it has
// opened, keyed by the effective code page, and resets one before lending it out.
UConverter* CachedConverter(uint32_t codePage) {
    thread_local std::map<uint32_t, ConverterPtr> converters;
    const uint32_t effective = codePage == CP_ACP ? AnsiCodePage() : codePage;
    auto found = converters.find(effective);
    if (found == converters.end())
        found = converters.emplace(effective, OpenConverter(effective)).first;
    ucnv_reset(found->second.get());
    return found->second.get();
}

struct LanguageCodePage {
    const char* language;
    uint32_t codePage;
};

constexpr LanguageCodePage LanguageCodePages[] = {
    {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251}, {"sr", 1251}, {"mk", 1251},
    {"cs", 1250}, {"pl", 1250}, {"hu", 1250}, {"sk", 1250}, {"sl", 1250}, {"hr", 1250},
    {"ro", 1250}, {"bs", 1250}, {"sq", 1250}, {"el", 1253}, {"tr", 1254}, {"az", 1254},
    {"he", 1255}, {"iw", 1255}, {"ar", 1256}, {"fa", 1256}, {"ur", 1256}, {"lt", 1257},
    {"lv", 1257}, {"et", 1257}, {"vi", 1258}, {"th", 874},  {"ja", 932},  {"ko", 949},
};

} // namespace

uint32_t AnsiCodePage() {
    std::string locale = LocaleName("LC_CTYPE");
    std::string language = locale.substr(0, locale.find('_'));
    if (language == "zh") {
        bool traditional = locale.find("TW") != std::string::npos ||
                           locale.find("HK") != std::string::npos ||
                           locale.find("MO") != std::string::npos;
        return traditional ? 950 : 936;
    }
    for (const LanguageCodePage& row : LanguageCodePages)
        if (language == row.language)
            return row.codePage;
    return 1252;
}

bool IsCodePageSupported(uint32_t codePage) {
    try {
        CachedConverter(codePage);
        return true;
    } catch (const ConversionError&) {
        return false;
    }
}

std::u16string DecodeCodePage(std::string_view bytes, uint32_t codePage) {
    UConverter* converter = CachedConverter(codePage);
    if (bytes.empty())
        return {};
    std::u16string text(bytes.size() * 2 + 2, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucnv_toUChars(converter, text.data(), static_cast<int32_t>(text.size()),
                                   bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status))
        throw ConversionError(codePage, std::string("Conversion failed: ") + u_errorName(status));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string EncodeCodePage(std::u16string_view text, uint32_t codePage) {
    UConverter* converter = CachedConverter(codePage);
    if (text.empty())
        return {};
    std::string bytes(text.size() * 4 + 4, '\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucnv_fromUChars(converter, bytes.data(), static_cast<int32_t>(bytes.size()),
                                     text.data(), static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status))
        throw ConversionError(codePage, std::string("Conversion failed: ") + u_errorName(status));
    bytes.resize(static_cast<size_t>(length));
    return bytes;
}

// Malformed input becomes U+FFFD. Straight into the result: paths and report fields pass here
// several times for every file.
std::u16string Utf8ToUtf16(std::string_view bytes) {
    // Most texts here (numbers, codecs, paths) are ASCII: they are widened as they are.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; }))
        return std::u16string(bytes.begin(), bytes.end());
    if (bytes.size() > INT32_MAX)
        throw ConversionError(CP_UTF8, "Text too long");
    std::u16string text(bytes.size(), u'\0'); // never more UTF-16 units than UTF-8 bytes
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(text.data(), static_cast<int32_t>(text.size()), &length, bytes.data(),
                         static_cast<int32_t>(bytes.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status))
        throw ConversionError(CP_UTF8, std::string("Conversion failed: ") + u_errorName(status));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; }))
        return std::string(text.begin(), text.end());
    if (text.size() > INT32_MAX / 3)
        throw ConversionError(CP_UTF8, "Text too long");
    std::string bytes(text.size() * 3, '\0'); // three bytes at most for each UTF-16 unit
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(bytes.data(), static_cast<int32_t>(bytes.size()), &length, text.data(),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status))
        throw ConversionError(CP_UTF8, std::string("Conversion failed: ") + u_errorName(status));
    bytes.resize(static_cast<size_t>(length));
    return bytes;
}

std::string ToLocaleCharset(std::u16string_view text) {
    const char* codeset = nl_langinfo(CODESET);
    std::string name = codeset ? codeset : "";
    if (name.empty() || name == "UTF-8" || name == "utf8" || name == "ANSI_X3.4-1968")
        return Utf16ToUtf8(text);
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(name.c_str(), &status));
    if (U_FAILURE(status) || !converter)
        return Utf16ToUtf8(text);
    ucnv_setFallback(converter.get(), true);
    std::string bytes(text.size() * 4 + 4, '\0');
    int32_t length =
        ucnv_fromUChars(converter.get(), bytes.data(), static_cast<int32_t>(bytes.size()),
                        text.data(), static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status))
        return Utf16ToUtf8(text);
    bytes.resize(static_cast<size_t>(length));
    return bytes;
}

} // namespace platform
