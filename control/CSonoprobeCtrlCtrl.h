#pragma once
#include "control/AnalysisRecord.h"
#include "control/PersistedControlState.h"
#include "platform/ComInterfaces.h"
#include "platform/DispatchArguments.h"

#include <atomic>
#include <string>

namespace control {

// The analysis control: the dispatch interface _DSonoprobeCtrl over one AnalysisRecord,
// persistence of its version and extent, and the list of its property pages. Putting FilePath
// runs a whole analysis inside the call; the Get... methods return fresh automation strings.
class CSonoprobeCtrlCtrl final : public platform::IDispatch,
                                 public platform::IPersistStreamInit,
                                 public platform::ISpecifyPropertyPages {
  public:
    static platform::HRESULT Create(platform::REFIID iid, void** object);

    platform::HRESULT QueryInterface(platform::REFIID iid, void** object) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

    platform::HRESULT GetTypeInfoCount(uint32_t* count) override;
    platform::HRESULT GetTypeInfo(uint32_t index, platform::LCID locale,
                                  platform::ITypeInfo** info) override;
    platform::HRESULT GetIDsOfNames(platform::REFIID iid, const char16_t* const* names,
                                    uint32_t count, platform::LCID locale,
                                    platform::DISPID* ids) override;
    platform::HRESULT Invoke(platform::DISPID member, platform::REFIID iid, platform::LCID locale,
                             uint16_t flags, platform::DISPPARAMS* parameters,
                             platform::VARIANT* result, platform::EXCEPINFO* exception,
                             uint32_t* argumentError) override;

    platform::HRESULT GetClassID(platform::CLSID* clsid) override;
    platform::HRESULT IsDirty() override;
    platform::HRESULT Load(platform::IStream* stream) override;
    platform::HRESULT Save(platform::IStream* stream, bool clearDirty) override;
    platform::HRESULT GetSizeMax(uint64_t* size) override;
    platform::HRESULT InitNew() override;

    platform::HRESULT GetPages(platform::CAUUID* pages) override;

  private:
    CSonoprobeCtrlCtrl();
    ~CSonoprobeCtrlCtrl();

    platform::HRESULT CallMember(const platform::TypeMember& member,
                                 const platform::DispatchArguments& arguments,
                                 platform::VARIANT* result, platform::EXCEPINFO* exception);
    platform::HRESULT GetProperty(platform::DISPID id, platform::VARIANT* result,
                                  platform::EXCEPINFO* exception);
    void PutProperty(platform::DISPID id, const platform::VARIANT& value);
    platform::HRESULT CallMethod(platform::DISPID id, const platform::DispatchArguments& arguments,
                                 platform::VARIANT* result);
    // Empties every result of the last analysis; CodePage and ShowMessageBox stay.
    void OnResetState();
    void SetFilePath(const std::u16string& path);
    const std::u16string* ResultText(platform::DISPID id) const;
    // The ID3v2 tag writer's entry point: answers false until the writer is wired in here.
    bool WriteID3v2Tags(const platform::DispatchArguments& arguments);

    std::atomic<uint32_t> references_{1};
    AnalysisRecord record_;
    bool modified_ = false;
    PersistedControlState persisted_;
};

} // namespace control
