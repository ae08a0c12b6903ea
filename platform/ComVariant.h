#pragma once
#include "platform/AutomationString.h"
#include "platform/ComResult.h"

#include <cstdint>

namespace platform {

class IUnknown;
class IDispatch;

using VARTYPE = uint16_t;
using VARIANT_BOOL = int16_t;
using DISPID = int32_t;
using LCID = uint32_t;

// The automation true value has all 16 bits set.
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum VariantType : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_UNKNOWN = 13,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_VOID = 24,
};

// How a dispatch call reaches a member.
enum DispatchFlags : uint16_t {
    DISPATCH_METHOD = 0x1,
    DISPATCH_PROPERTYGET = 0x2,
    DISPATCH_PROPERTYPUT = 0x4,
    DISPATCH_PROPERTYPUTREF = 0x8,
};

constexpr DISPID DISPID_VALUE = 0;
constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_PROPERTYPUT = -3;
constexpr LCID LOCALE_USER_DEFAULT = 0x400;

// Flag of VariantChangeType: a boolean becomes "True" or "False" instead of "-1" or "0".
constexpr uint16_t VARIANT_ALPHABOOL = 0x2;

// A typed value of a dispatch call. A VARIANT owns what it holds (a string, an interface
// reference); VariantClear releases it.
struct VARIANT {
    VARTYPE vt;
    uint16_t wReserved1;
    uint16_t wReserved2;
    uint16_t wReserved3;
    union {
        int8_t cVal;
        uint8_t bVal;
        int16_t iVal;
        uint16_t uiVal;
        int32_t lVal;
        uint32_t ulVal;
        int64_t llVal;
        uint64_t ullVal;
        int32_t intVal;
        uint32_t uintVal;
        VARIANT_BOOL boolVal;
        HRESULT scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
    };
};

// The arguments of a dispatch call, last argument first; named arguments come first and carry
// their DISPIDs (a property put names its value DISPID_PROPERTYPUT).
struct DISPPARAMS {
    VARIANT* rgvarg;
    DISPID* rgdispidNamedArgs;
    uint32_t cArgs;
    uint32_t cNamedArgs;
};

// What a member that failed with DISP_E_EXCEPTION reports; the strings belong to the caller.
struct EXCEPINFO {
    uint16_t wCode;
    uint16_t wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    uint32_t dwHelpContext;
    void* pvReserved;
    void* pfnDeferredFillIn;
    HRESULT scode;
};

void VariantInit(VARIANT* value);
// Frees the string or releases the interface held, and leaves VT_EMPTY.
HRESULT VariantClear(VARIANT* value);
// A deep copy: strings are duplicated, interfaces referenced again.
HRESULT VariantCopy(VARIANT* destination, const VARIANT* source);
// Converts among the integer types, VT_BOOL and VT_BSTR (decimal text; "true"/"false" read in
// any letter case). A value out of the target's range gives DISP_E_OVERFLOW, text that is no
// number DISP_E_TYPEMISMATCH. A value of the target type is copied unchanged. Destination and
// source may be the same VARIANT.
HRESULT VariantChangeType(VARIANT* destination, const VARIANT* source, uint16_t flags,
                          VARTYPE type);
// Frees the strings of an EXCEPINFO and zeroes it.
void ClearExcepInfo(EXCEPINFO* info);

} // namespace platform
