#pragma once
// The interfaces of the component model, as abstract classes. Components and hosts are built
// by the same compiler, so a C++ virtual table is the binary contract. Every interface derives
// from IUnknown: QueryInterface hands out another interface of the same object (with a new
// reference), AddRef and Release count references, and the object deletes itself at zero.
#include "platform/ComGuid.h"
#include "platform/ComResult.h"
#include "platform/ComVariant.h"

#include <cstddef>
#include <cstdint>

namespace platform {

inline constexpr IID IID_IUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IClassFactory{
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IStream{
    0x0000000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IDispatch{
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_ITypeInfo{
    0x00020401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersistStreamInit{
    0x7FD52380, 0x4E07, 0x101B, {0xAE, 0x2D, 0x08, 0x00, 0x2B, 0x2E, 0xC7, 0x13}};
inline constexpr IID IID_ISpecifyPropertyPages{
    0xB196B28B, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IPropertyPage{
    0xB196B28D, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
// The standard marshaller of dispatch interfaces, named in the registration of an interface.
inline constexpr CLSID CLSID_PSDispatch{
    0x00020420, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class ITypeInfo;

class IUnknown {
  public:
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

  protected:
    ~IUnknown() = default;
};

// Late-bound calls: members are found by name (GetIDsOfNames) and called by DISPID (Invoke).
class IDispatch : public IUnknown {
  public:
    virtual HRESULT GetTypeInfoCount(uint32_t* count) = 0;
    virtual HRESULT GetTypeInfo(uint32_t index, LCID locale, ITypeInfo** info) = 0;
    // names[0] is a member, the further names are its parameters (their positions returned).
    virtual HRESULT GetIDsOfNames(REFIID iid, const char16_t* const* names, uint32_t count,
                                  LCID locale, DISPID* ids) = 0;
    // A member that fails with an error of its own returns DISP_E_EXCEPTION and describes the
    // error in `exception` (when given); argumentError receives the index of a bad argument.
    virtual HRESULT Invoke(DISPID member, REFIID iid, LCID locale, uint16_t flags,
                           DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                           uint32_t* argumentError) = 0;

  protected:
    ~IDispatch() = default;
};

class IClassFactory : public IUnknown {
  public:
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
    // Keeps the library loaded while locked, whether objects exist or not.
    virtual HRESULT LockServer(bool lock) = 0;

  protected:
    ~IClassFactory() = default;
};

// A sequential byte stream, the part of the system's stream interface that persistence uses.
class IStream : public IUnknown {
  public:
    virtual HRESULT Read(void* buffer, uint32_t count, uint32_t* read) = 0;
    virtual HRESULT Write(const void* buffer, uint32_t count, uint32_t* written) = 0;

  protected:
    ~IStream() = default;
};

// An object that saves its state into a stream and loads it back.
class IPersistStreamInit : public IUnknown {
  public:
    virtual HRESULT GetClassID(CLSID* clsid) = 0;
    // S_OK when changed since it was last saved with clearDirty, else S_FALSE.
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(IStream* stream) = 0;
    virtual HRESULT Save(IStream* stream, bool clearDirty) = 0;
    virtual HRESULT GetSizeMax(uint64_t* size) = 0;
    virtual HRESULT InitNew() = 0;

  protected:
    ~IPersistStreamInit() = default;
};

// Counted array of class identifiers; pElems is allocated with CoTaskMemAlloc.
struct CAUUID {
    uint32_t cElems;
    GUID* pElems;
};

class ISpecifyPropertyPages : public IUnknown {
  public:
    virtual HRESULT GetPages(CAUUID* pages) = 0;

  protected:
    ~ISpecifyPropertyPages() = default;
};

struct SIZE {
    int32_t cx;
    int32_t cy;
};

// A property page's description. The strings are allocated with CoTaskMemAlloc and belong to
// the caller; the size is in dialog units (the container converts them with its font).
struct PROPPAGEINFO {
    uint32_t cb;
    char16_t* pszTitle;
    SIZE size;
    char16_t* pszDocString;
    char16_t* pszHelpFile;
    uint32_t dwHelpContext;
};

// A page of properties a container shows for a set of objects. Drawing it is the container's
// business; the page describes itself and applies its values to the objects.
class IPropertyPage : public IUnknown {
  public:
    virtual HRESULT GetPageInfo(PROPPAGEINFO* info) = 0;
    virtual HRESULT SetObjects(uint32_t count, IUnknown* const* objects) = 0;
    virtual HRESULT Apply() = 0;
    // S_OK when the page holds changes not yet applied, else S_FALSE.
    virtual HRESULT IsPageDirty() = 0;

  protected:
    ~IPropertyPage() = default;
};

enum INVOKEKIND : uint16_t {
    INVOKE_FUNC = 1,
    INVOKE_PROPERTYGET = 2,
    INVOKE_PROPERTYPUT = 4,
};

enum TYPEKIND : uint16_t { TKIND_DISPATCH = 4 };

constexpr DISPID MEMBERID_NIL = -1;

struct TYPEATTR {
    GUID guid;
    TYPEKIND typekind;
    uint16_t cFuncs;
    uint16_t wMajorVerNum;
    uint16_t wMinorVerNum;
};

// One member function; paramTypes stays valid while the ITypeInfo lives.
struct FUNCDESC {
    DISPID memid;
    INVOKEKIND invkind;
    VARTYPE returnType;
    uint16_t cParams;
    const VARTYPE* paramTypes;
};

// The description of a dispatch interface, as a type library holds it: its members with their
// kinds, types, names and help texts.
class ITypeInfo : public IUnknown {
  public:
    virtual HRESULT GetTypeAttr(TYPEATTR* attributes) = 0;
    virtual HRESULT GetFuncDesc(uint32_t index, FUNCDESC* function) = 0;
    // The member's name, then its parameters' names; count receives how many were stored.
    virtual HRESULT GetNames(DISPID member, BSTR* names, uint32_t maxNames, uint32_t* count) = 0;
    virtual HRESULT GetIDsOfNames(const char16_t* const* names, uint32_t count, DISPID* ids) = 0;
    // Name and help text of a member, or of the interface itself for MEMBERID_NIL. Either
    // output may be null.
    virtual HRESULT GetDocumentation(DISPID member, BSTR* name, BSTR* helpText) = 0;

  protected:
    ~ITypeInfo() = default;
};

// Memory that crosses an interface and is freed by the receiver.
void* CoTaskMemAlloc(size_t size);
void CoTaskMemFree(void* block);
// A CoTaskMemAlloc copy of the zero-terminated text; null when memory runs out.
char16_t* CoTaskMemString(std::u16string_view text);

} // namespace platform
