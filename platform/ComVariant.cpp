#include "platform/ComVariant.h"

#include "platform/CodePage.h"
#include "platform/ComInterfaces.h"

#include <cstring>
#include <limits>
#include <optional>
#include <string>

namespace platform {
namespace {

using Wide = __int128;

struct Range {
    Wide low;
    Wide high;
};

bool IsIntegerType(VARTYPE type) {
    switch (type) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
        return true;
    default:
        return false;
    }
}

template <typename T> Range RangeOf() {
    return {std::numeric_limits<T>::min(), std::numeric_limits<T>::max()};
}

Range IntegerRange(VARTYPE type) {
    switch (type) {
    case VT_I1:
        return RangeOf<int8_t>();
    case VT_UI1:
        return RangeOf<uint8_t>();
    case VT_I2:
        return RangeOf<int16_t>();
    case VT_UI2:
        return RangeOf<uint16_t>();
    case VT_I4:
    case VT_INT:
        return RangeOf<int32_t>();
    case VT_UI4:
    case VT_UINT:
        return RangeOf<uint32_t>();
    case VT_I8:
        return RangeOf<int64_t>();
    default:
        return RangeOf<uint64_t>();
    }
}

Wide IntegerOf(const VARIANT& value) {
    switch (value.vt) {
    case VT_I1:
        return value.cVal;
    case VT_UI1:
        return value.bVal;
    case VT_I2:
        return value.iVal;
    case VT_UI2:
        return value.uiVal;
    case VT_I4:
        return value.lVal;
    case VT_INT:
        return value.intVal;
    case VT_UI4:
        return value.ulVal;
    case VT_UINT:
        return value.uintVal;
    case VT_I8:
        return value.llVal;
    case VT_UI8:
        return value.ullVal;
    case VT_BOOL:
        return value.boolVal;
    default:
        return 0;
    }
}

void StoreInteger(VARIANT& value, VARTYPE type, Wide number) {
    value.vt = type;
    switch (type) {
    case VT_I1:
        value.cVal = static_cast<int8_t>(number);
        break;
    case VT_UI1:
        value.bVal = static_cast<uint8_t>(number);
        break;
    case VT_I2:
        value.iVal = static_cast<int16_t>(number);
        break;
    case VT_UI2:
        value.uiVal = static_cast<uint16_t>(number);
        break;
    case VT_I4:
    case VT_INT:
        value.lVal = static_cast<int32_t>(number);
        break;
    case VT_UI4:
    case VT_UINT:
        value.ulVal = static_cast<uint32_t>(number);
        break;
    case VT_I8:
        value.llVal = static_cast<int64_t>(number);
        break;
    default:
        value.ullVal = static_cast<uint64_t>(number);
        break;
    }
}

bool EqualsIgnoringCase(std::u16string_view text, std::u16string_view word) {
    if (text.size() != word.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != word[i])
            return false;
    }
    return true;
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
        text.remove_suffix(1);
    return text;
}

// Decimal digits with an optional sign; nothing when the text is no number. Values beyond
// 20 digits are clamped so that the range check reports an overflow.
std::optional<Wide> ParseDecimal(std::u16string_view text) {
    text = Trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    const Wide limit = Wide{1} << 100;
    Wide number = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (number < limit)
            number = number * 10 + (c - u'0');
    }
    return negative ? -number : number;
}

// The source as a number for an integer or boolean target.
HRESULT NumberOf(const VARIANT& source, Wide& number) {
    if (source.vt == VT_EMPTY) {
        number = 0;
        return S_OK;
    }
    if (IsIntegerType(source.vt) || source.vt == VT_BOOL) {
        number = IntegerOf(source);
        return S_OK;
    }
    if (source.vt != VT_BSTR)
        return DISP_E_TYPEMISMATCH;
    std::u16string_view text(source.bstrVal ? source.bstrVal : u"", SysStringLen(source.bstrVal));
    if (EqualsIgnoringCase(Trimmed(text), u"true")) {
        number = VARIANT_TRUE;
        return S_OK;
    }
    if (EqualsIgnoringCase(Trimmed(text), u"false")) {
        number = VARIANT_FALSE;
        return S_OK;
    }
    std::optional<Wide> parsed = ParseDecimal(text);
    if (!parsed)
        return DISP_E_TYPEMISMATCH;
    number = *parsed;
    return S_OK;
}

std::u16string DecimalText(Wide number) {
    if (number == 0)
        return u"0";
    const bool negative = number < 0;
    std::u16string text;
    for (Wide rest = negative ? -number : number; rest > 0; rest /= 10)
        text.insert(text.begin(), static_cast<char16_t>(u'0' + static_cast<int>(rest % 10)));
    return negative ? u"-" + text : text;
}

HRESULT ToText(const VARIANT& source, uint16_t flags, VARIANT& result) {
    std::u16string text;
    if (source.vt == VT_BOOL && (flags & VARIANT_ALPHABOOL))
        text = source.boolVal ? u"True" : u"False";
    else if (IsIntegerType(source.vt) || source.vt == VT_BOOL)
        text = DecimalText(IntegerOf(source));
    else if (source.vt != VT_EMPTY)
        return DISP_E_TYPEMISMATCH;
    result.vt = VT_BSTR;
    result.bstrVal = AllocAutomationString(text);
    return result.bstrVal ? S_OK : E_OUTOFMEMORY;
}

HRESULT ToNumber(const VARIANT& source, VARTYPE type, VARIANT& result) {
    Wide number = 0;
    HRESULT status = NumberOf(source, number);
    if (FAILED(status))
        return status;
    if (type == VT_BOOL) {
        result.vt = VT_BOOL;
        result.boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    Range range = IntegerRange(type);
    if (number < range.low || number > range.high)
        return DISP_E_OVERFLOW;
    StoreInteger(result, type, number);
    return S_OK;
}

} // namespace

void VariantInit(VARIANT* value) {
    std::memset(value, 0, sizeof *value);
}

HRESULT VariantClear(VARIANT* value) {
    if (!value)
        return E_POINTER;
    if (value->vt == VT_BSTR)
        SysFreeString(value->bstrVal);
    else if ((value->vt == VT_UNKNOWN || value->vt == VT_DISPATCH) && value->punkVal)
        value->punkVal->Release();
    VariantInit(value);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* destination, const VARIANT* source) {
    if (!destination || !source)
        return E_POINTER;
    VARIANT copy = *source;
    if (source->vt == VT_BSTR && source->bstrVal) {
        copy.bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
        if (!copy.bstrVal)
            return E_OUTOFMEMORY;
    } else if ((source->vt == VT_UNKNOWN || source->vt == VT_DISPATCH) && source->punkVal) {
        source->punkVal->AddRef();
    }
    VariantClear(destination);
    *destination = copy;
    return S_OK;
}

HRESULT VariantChangeType(VARIANT* destination, const VARIANT* source, uint16_t flags,
                          VARTYPE type) {
    if (!destination || !source)
        return E_POINTER;
    if (source->vt == type)
        return destination == source ? S_OK : VariantCopy(destination, source);
    VARIANT result;
    VariantInit(&result);
    HRESULT status = DISP_E_BADVARTYPE;
    if (type == VT_BSTR)
        status = ToText(*source, flags, result);
    else if (type == VT_BOOL || IsIntegerType(type))
        status = ToNumber(*source, type, result);
    if (FAILED(status))
        return status;
    VariantClear(destination);
    *destination = result;
    return S_OK;
}

void ClearExcepInfo(EXCEPINFO* info) {
    if (!info)
        return;
    SysFreeString(info->bstrSource);
    SysFreeString(info->bstrDescription);
    SysFreeString(info->bstrHelpFile);
    std::memset(info, 0, sizeof *info);
}

} // namespace platform
