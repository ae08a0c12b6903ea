#pragma once
#include "platform/ComInterfaces.h"

#include <atomic>

namespace control {

// The control's one property page, "General". It describes itself to a container and
// exchanges no property with the objects it is shown for.
class CSonoprobeCtrlPropPage final : public platform::IPropertyPage {
  public:
    static constexpr char16_t Caption[] = u"General";
    // The page's dialog in dialog units.
    static constexpr platform::SIZE DialogSize{161, 65};

    static platform::HRESULT Create(platform::REFIID iid, void** object);

    platform::HRESULT QueryInterface(platform::REFIID iid, void** object) override;
    uint32_t AddRef() override;
    uint32_t Release() override;
    platform::HRESULT GetPageInfo(platform::PROPPAGEINFO* info) override;
    platform::HRESULT SetObjects(uint32_t count, platform::IUnknown* const* objects) override;
    platform::HRESULT Apply() override;
    platform::HRESULT IsPageDirty() override;

  private:
    CSonoprobeCtrlPropPage();
    ~CSonoprobeCtrlPropPage();

    std::atomic<uint32_t> references_{1};
};

} // namespace control
