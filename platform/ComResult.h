#pragma once
#include <cstdint>
#include <string>

namespace platform {

// The component model's result code: negative values are failures.
using HRESULT = int32_t;

constexpr HRESULT Code(uint32_t value) {
    return static_cast<HRESULT>(value);
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = Code(0x80004001);
constexpr HRESULT E_NOINTERFACE = Code(0x80004002);
constexpr HRESULT E_POINTER = Code(0x80004003);
constexpr HRESULT E_FAIL = Code(0x80004005);
constexpr HRESULT E_UNEXPECTED = Code(0x8000FFFF);
constexpr HRESULT E_OUTOFMEMORY = Code(0x8007000E);
constexpr HRESULT E_INVALIDARG = Code(0x80070057);
constexpr HRESULT DISP_E_UNKNOWNINTERFACE = Code(0x80020001);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = Code(0x80020003);
constexpr HRESULT DISP_E_PARAMNOTFOUND = Code(0x80020004);
constexpr HRESULT DISP_E_TYPEMISMATCH = Code(0x80020005);
constexpr HRESULT DISP_E_UNKNOWNNAME = Code(0x80020006);
constexpr HRESULT DISP_E_NONAMEDARGS = Code(0x80020007);
constexpr HRESULT DISP_E_BADVARTYPE = Code(0x80020008);
constexpr HRESULT DISP_E_EXCEPTION = Code(0x80020009);
constexpr HRESULT DISP_E_OVERFLOW = Code(0x8002000A);
constexpr HRESULT DISP_E_BADINDEX = Code(0x8002000B);
constexpr HRESULT DISP_E_BADPARAMCOUNT = Code(0x8002000E);
constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = Code(0x8002802B);
constexpr HRESULT STG_E_WRITEFAULT = Code(0x8003001D);
constexpr HRESULT STG_E_READFAULT = Code(0x8003001E);
constexpr HRESULT CLASS_E_NOAGGREGATION = Code(0x80040110);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = Code(0x80040111);
constexpr HRESULT REGDB_E_CLASSNOTREG = Code(0x80040154);
constexpr HRESULT SELFREG_E_TYPELIB = Code(0x80040200);
constexpr HRESULT SELFREG_E_CLASS = Code(0x80040201);
constexpr HRESULT CO_E_CLASSSTRING = Code(0x800401F3);
constexpr HRESULT CO_E_DLLNOTFOUND = Code(0x800401F8);
constexpr HRESULT CO_E_ERRORINDLL = Code(0x800401F9);
constexpr HRESULT CTL_E_GETNOTSUPPORTED = Code(0x800A018A);

constexpr bool SUCCEEDED(HRESULT result) {
    return result >= 0;
}
constexpr bool FAILED(HRESULT result) {
    return result < 0;
}

// A failed system call as a result code: the errno in the code field, flagged as our own
// (customer) code so that it never reads as one of the codes above.
HRESULT HResultFromErrno(int errorNumber);

// A sentence describing the code, for people: "Class not registered", the system's text of an
// errno code, "Unknown error 0x8XXXXXXX" for the rest.
std::u16string HResultText(HRESULT result);
// "0x800A018A", as programs print result codes.
std::string HResultHex(HRESULT result);

} // namespace platform
