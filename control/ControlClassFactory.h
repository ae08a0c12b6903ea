#pragma once
#include "platform/ComInterfaces.h"

namespace control {

// The class object of one of the module's classes. It lives as long as the module, so its
// reference count only answers; LockServer keeps the module loaded.
class ControlClassFactory final : public platform::IClassFactory {
  public:
    using CreateFunction = platform::HRESULT (*)(platform::REFIID iid, void** object);

    ControlClassFactory(const platform::CLSID& clsid, CreateFunction create)
        : clsid_(clsid), create_(create) {}
    ControlClassFactory(const ControlClassFactory&) = delete;
    ControlClassFactory& operator=(const ControlClassFactory&) = delete;
    ~ControlClassFactory() = default;

    const platform::CLSID& ClassId() const { return clsid_; }

    platform::HRESULT QueryInterface(platform::REFIID iid, void** object) override;
    uint32_t AddRef() override { return 2; }
    uint32_t Release() override { return 1; }
    platform::HRESULT CreateInstance(platform::IUnknown* outer, platform::REFIID iid,
                                     void** object) override;
    platform::HRESULT LockServer(bool lock) override;

  private:
    platform::CLSID clsid_;
    CreateFunction create_;
};

} // namespace control
