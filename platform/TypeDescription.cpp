#include "platform/TypeDescription.h"

namespace platform {
namespace {

char16_t LowerAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameName(const char16_t* left, const char16_t* right) {
    for (; *left && *right; ++left, ++right)
        if (LowerAscii(*left) != LowerAscii(*right))
            return false;
    return *left == *right;
}

const TypeMember* FindByName(const TypeDescription& type, const char16_t* name) {
    const TypeMember* found = nullptr;
    for (const TypeMember& member : type.members) {
        if (!SameName(member.name, name))
            continue;
        // Prefer the entry that names parameters: a method, or the get of a property.
        if (!found || (found->kind == INVOKE_PROPERTYPUT && member.kind != INVOKE_PROPERTYPUT))
            found = &member;
    }
    return found;
}

DISPID ParameterPosition(const TypeMember& member, const char16_t* name) {
    for (size_t i = 0; i < member.parameters.size(); ++i)
        if (SameName(member.parameters[i].name, name))
            return static_cast<DISPID>(i);
    return DISPID_UNKNOWN;
}

} // namespace

const TypeMember* FindMember(const TypeDescription& type, DISPID id, uint16_t flags) {
    for (const TypeMember& member : type.members) {
        if (member.id != id)
            continue;
        if ((flags & DISPATCH_PROPERTYPUT) && member.kind == INVOKE_PROPERTYPUT)
            return &member;
        if ((flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) && member.kind != INVOKE_PROPERTYPUT)
            return &member;
    }
    return nullptr;
}

HRESULT LookUpNames(const TypeDescription& type, const char16_t* const* names, uint32_t count,
                    DISPID* ids) {
    if ((!names || !ids) && count > 0)
        return E_POINTER;
    if (count == 0)
        return S_OK;
    for (uint32_t i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    const TypeMember* member = names[0] ? FindByName(type, names[0]) : nullptr;
    if (!member)
        return DISP_E_UNKNOWNNAME;
    ids[0] = member->id;
    HRESULT status = S_OK;
    for (uint32_t i = 1; i < count; ++i) {
        ids[i] = names[i] ? ParameterPosition(*member, names[i]) : DISPID_UNKNOWN;
        if (ids[i] == DISPID_UNKNOWN)
            status = DISP_E_UNKNOWNNAME;
    }
    return status;
}

} // namespace platform
