#include "platform/ComResult.h"

#include "platform/CodePage.h"

#include <cstdio>
#include <cstring>

namespace platform {
namespace {

constexpr uint32_t ErrnoFacilityBits = 0xA0070000;

struct KnownResult {
    HRESULT code;
    const char16_t* text;
};

constexpr KnownResult KnownResults[] = {
    {S_OK, u"The operation completed successfully"},
    {S_FALSE, u"The operation completed with a false result"},
    {E_NOTIMPL, u"Not implemented"},
    {E_NOINTERFACE, u"No such interface supported"},
    {E_POINTER, u"Invalid pointer"},
    {E_FAIL, u"Unspecified error"},
    {E_UNEXPECTED, u"Catastrophic failure"},
    {E_OUTOFMEMORY, u"Not enough memory"},
    {E_INVALIDARG, u"The parameter is incorrect"},
    {DISP_E_UNKNOWNINTERFACE, u"Unknown interface"},
    {DISP_E_MEMBERNOTFOUND, u"Member not found"},
    {DISP_E_PARAMNOTFOUND, u"Parameter not found"},
    {DISP_E_TYPEMISMATCH, u"Type mismatch"},
    {DISP_E_UNKNOWNNAME, u"Unknown name"},
    {DISP_E_NONAMEDARGS, u"No named arguments"},
    {DISP_E_BADVARTYPE, u"Bad variable type"},
    {DISP_E_EXCEPTION, u"Exception occurred"},
    {DISP_E_OVERFLOW, u"Out of present range"},
    {DISP_E_BADINDEX, u"Invalid index"},
    {DISP_E_BADPARAMCOUNT, u"Invalid number of parameters"},
    {TYPE_E_ELEMENTNOTFOUND, u"Element not found"},
    {STG_E_WRITEFAULT, u"A disk error occurred during a write operation"},
    {STG_E_READFAULT, u"A disk error occurred during a read operation"},
    {CLASS_E_NOAGGREGATION, u"Class does not support aggregation"},
    {CLASS_E_CLASSNOTAVAILABLE, u"Class is not available from this library"},
    {REGDB_E_CLASSNOTREG, u"Class not registered"},
    {SELFREG_E_TYPELIB, u"Failed to register or unregister the type library"},
    {SELFREG_E_CLASS, u"Failed to register or unregister the classes"},
    {CO_E_CLASSSTRING, u"Invalid class string"},
    {CO_E_DLLNOTFOUND, u"The component library could not be loaded"},
    {CO_E_ERRORINDLL, u"The component library has no class object entry"},
    {CTL_E_GETNOTSUPPORTED, u"Property is write-only"},
};

} // namespace

HRESULT HResultFromErrno(int errorNumber) {
    return Code(ErrnoFacilityBits | (static_cast<uint32_t>(errorNumber) & 0xFFFF));
}

std::u16string HResultText(HRESULT result) {
    for (const KnownResult& known : KnownResults)
        if (known.code == result)
            return known.text;
    uint32_t bits = static_cast<uint32_t>(result);
    if ((bits & 0xFFFF0000) == ErrnoFacilityBits)
        return Utf8ToUtf16(std::strerror(static_cast<int>(bits & 0xFFFF)));
    return u"Unknown error " + Utf8ToUtf16(HResultHex(result));
}

std::string HResultHex(HRESULT result) {
    char text[12];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<uint32_t>(result));
    return text;
}

} // namespace platform
