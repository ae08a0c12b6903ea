#pragma once
// What a type library says about a dispatch interface: its members, their kinds, types and
// names. A component describes its interface once in this form; its IDispatch finds members
// and names with it and its ITypeInfo (TableTypeInfo) publishes it to clients.
#include "platform/ComInterfaces.h"

#include <vector>

namespace platform {

struct TypeParameter {
    const char16_t* name;
    VARTYPE type;
};

// One entry of the interface: a method, a property get or a property put. A property has one
// entry of each kind with the same DISPID; the put's single parameter is the new value.
struct TypeMember {
    DISPID id;
    INVOKEKIND kind;
    const char16_t* name;
    VARTYPE returnType;
    std::vector<TypeParameter> parameters;
    const char16_t* helpText;
};

struct TypeDescription {
    GUID guid;
    const char16_t* name;
    const char16_t* helpText;
    uint16_t majorVersion;
    uint16_t minorVersion;
    std::vector<TypeMember> members;
};

// The entry a dispatch call with these flags reaches: the put for DISPATCH_PROPERTYPUT, else
// the method or the property get. Null when there is none.
const TypeMember* FindMember(const TypeDescription& type, DISPID id, uint16_t flags);
// names[0] is a member name, the further names its parameters (their positions are returned).
// Names compare without regard to ASCII letter case. DISP_E_UNKNOWNNAME when any is unknown;
// those get DISPID_UNKNOWN.
HRESULT LookUpNames(const TypeDescription& type, const char16_t* const* names, uint32_t count,
                    DISPID* ids);

} // namespace platform
