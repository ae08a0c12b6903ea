#pragma once
#include "platform/ComInterfaces.h"
#include "platform/TypeDescription.h"

#include <atomic>
#include <vector>

namespace platform {

// ITypeInfo over a TypeDescription that lives as long as the program (a component's static
// description of its interface).
class TableTypeInfo final : public ITypeInfo {
  public:
    static HRESULT Create(const TypeDescription& type, ITypeInfo** info);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    uint32_t AddRef() override;
    uint32_t Release() override;
    HRESULT GetTypeAttr(TYPEATTR* attributes) override;
    HRESULT GetFuncDesc(uint32_t index, FUNCDESC* function) override;
    HRESULT GetNames(DISPID member, BSTR* names, uint32_t maxNames, uint32_t* count) override;
    HRESULT GetIDsOfNames(const char16_t* const* names, uint32_t count, DISPID* ids) override;
    HRESULT GetDocumentation(DISPID member, BSTR* name, BSTR* helpText) override;

  private:
    explicit TableTypeInfo(const TypeDescription& type);
    ~TableTypeInfo() = default;
    const TypeMember* MemberById(DISPID id) const;

    std::atomic<uint32_t> references_{1};
    const TypeDescription& type_;
    // The parameter types of each member, contiguous as FUNCDESC hands them out.
    std::vector<std::vector<VARTYPE>> parameterTypes_;
};

} // namespace platform
