#include "platform/TableTypeInfo.h"

#include <new>

namespace platform {
namespace {

// Stores a copy of the text, or nothing when the caller does not want it.
HRESULT StoreText(BSTR* target, const char16_t* text) {
    if (!target)
        return S_OK;
    *target = SysAllocString(text ? text : u"");
    return *target ? S_OK : E_OUTOFMEMORY;
}

} // namespace

TableTypeInfo::TableTypeInfo(const TypeDescription& type) : type_(type) {
    for (const TypeMember& member : type.members) {
        std::vector<VARTYPE> types;
        for (const TypeParameter& parameter : member.parameters)
            types.push_back(parameter.type);
        parameterTypes_.push_back(std::move(types));
    }
}

HRESULT TableTypeInfo::Create(const TypeDescription& type, ITypeInfo** info) {
    if (!info)
        return E_POINTER;
    *info = new (std::nothrow) TableTypeInfo(type);
    return *info ? S_OK : E_OUTOFMEMORY;
}

HRESULT TableTypeInfo::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ITypeInfo) {
        *object = static_cast<ITypeInfo*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

uint32_t TableTypeInfo::AddRef() {
    return ++references_;
}

uint32_t TableTypeInfo::Release() {
    uint32_t left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT TableTypeInfo::GetTypeAttr(TYPEATTR* attributes) {
    if (!attributes)
        return E_POINTER;
    *attributes = {type_.guid, TKIND_DISPATCH, static_cast<uint16_t>(type_.members.size()),
                   type_.majorVersion, type_.minorVersion};
    return S_OK;
}

HRESULT TableTypeInfo::GetFuncDesc(uint32_t index, FUNCDESC* function) {
    if (!function)
        return E_POINTER;
    if (index >= type_.members.size())
        return TYPE_E_ELEMENTNOTFOUND;
    const TypeMember& member = type_.members[index];
    const std::vector<VARTYPE>& types = parameterTypes_[index];
    *function = {member.id, member.kind, member.returnType, static_cast<uint16_t>(types.size()),
                 types.data()};
    return S_OK;
}

const TypeMember* TableTypeInfo::MemberById(DISPID id) const {
    const TypeMember* found = nullptr;
    for (const TypeMember& member : type_.members)
        if (member.id == id && (!found || found->kind == INVOKE_PROPERTYPUT))
            found = &member;
    return found;
}

HRESULT TableTypeInfo::GetNames(DISPID id, BSTR* names, uint32_t maxNames, uint32_t* count) {
    if (!count || (!names && maxNames > 0))
        return E_POINTER;
    *count = 0;
    const TypeMember* member = MemberById(id);
    if (!member)
        return TYPE_E_ELEMENTNOTFOUND;
    std::vector<const char16_t*> all{member->name};
    for (const TypeParameter& parameter : member->parameters)
        all.push_back(parameter.name);
    for (; *count < maxNames && *count < all.size(); ++*count) {
        HRESULT status = StoreText(&names[*count], all[*count]);
        if (FAILED(status))
            return status;
    }
    return S_OK;
}

HRESULT TableTypeInfo::GetIDsOfNames(const char16_t* const* names, uint32_t count, DISPID* ids) {
    return LookUpNames(type_, names, count, ids);
}

HRESULT TableTypeInfo::GetDocumentation(DISPID id, BSTR* name, BSTR* helpText) {
    if (id == MEMBERID_NIL) {
        HRESULT status = StoreText(name, type_.name);
        return FAILED(status) ? status : StoreText(helpText, type_.helpText);
    }
    const TypeMember* member = MemberById(id);
    if (!member)
        return TYPE_E_ELEMENTNOTFOUND;
    HRESULT status = StoreText(name, member->name);
    return FAILED(status) ? status : StoreText(helpText, member->helpText);
}

} // namespace platform
