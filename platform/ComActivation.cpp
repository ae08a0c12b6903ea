#include "platform/ComActivation.h"

#include "platform/CodePage.h"
#include "platform/DynamicLibrary.h"
#include "platform/Registry.h"

#include <map>
#include <mutex>
#include <optional>

namespace platform {
namespace {

// Component libraries stay loaded until CoFreeUnusedLibraries finds them unused, so objects
// and class objects handed out keep their code.
class LoadedLibraries {
  public:
    HRESULT ClassObjectEntry(const std::string& path, DllGetClassObjectFunction& entry) {
        std::lock_guard lock(mutex_);
        auto found = libraries_.find(path);
        if (found == libraries_.end()) {
            DynamicLibrary library(path);
            if (!library.IsLoaded())
                return CO_E_DLLNOTFOUND;
            found = libraries_.emplace(path, std::move(library)).first;
        }
        entry = found->second.Find<DllGetClassObjectFunction>("DllGetClassObject");
        return entry ? S_OK : CO_E_ERRORINDLL;
    }

    void FreeUnused() {
        std::lock_guard lock(mutex_);
        for (auto it = libraries_.begin(); it != libraries_.end();) {
            auto canUnload = it->second.Find<DllCanUnloadNowFunction>("DllCanUnloadNow");
            if (canUnload && canUnload() == S_OK)
                it = libraries_.erase(it);
            else
                ++it;
        }
    }

  private:
    std::mutex mutex_;
    std::map<std::string, DynamicLibrary> libraries_;
};

// Never destroyed: a host may release objects while the process ends, after static
// destructors would have unloaded their code.
LoadedLibraries& Libraries() {
    static auto* libraries = new LoadedLibraries;
    return *libraries;
}

std::optional<std::u16string> DefaultString(const std::u16string& key) {
    std::optional<RegistryValue> value = Registry::GetValue(Hive::ClassesRoot, key, u"");
    if (!value || !std::holds_alternative<std::u16string>(*value))
        return std::nullopt;
    std::u16string text = std::get<std::u16string>(*value);
    if (text.empty())
        return std::nullopt;
    return text;
}

} // namespace

std::u16string ClassKey(REFCLSID clsid) {
    return u"CLSID\\" + GuidToString(clsid);
}

HRESULT CoGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    std::optional<std::u16string> path = DefaultString(ClassKey(clsid) + u"\\InprocServer32");
    if (!path)
        return REGDB_E_CLASSNOTREG;
    DllGetClassObjectFunction entry = nullptr;
    HRESULT status = Libraries().ClassObjectEntry(Utf16ToUtf8(*path), entry);
    if (FAILED(status))
        return status;
    return entry(clsid, iid, object);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT status = CoGetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(status))
        return status;
    status = factory->CreateInstance(outer, iid, object);
    factory->Release();
    return status;
}

HRESULT CLSIDFromString(std::u16string_view text, CLSID* clsid) {
    if (!clsid)
        return E_POINTER;
    std::optional<GUID> guid = GuidFromString(text);
    if (!guid)
        return CO_E_CLASSSTRING;
    *clsid = *guid;
    return S_OK;
}

HRESULT CLSIDFromProgID(std::u16string_view progId, CLSID* clsid) {
    if (!clsid)
        return E_POINTER;
    if (progId.empty() || progId.find(u'\\') != std::u16string_view::npos)
        return CO_E_CLASSSTRING;
    std::optional<std::u16string> text = DefaultString(std::u16string(progId) + u"\\CLSID");
    if (!text)
        return CO_E_CLASSSTRING;
    return CLSIDFromString(*text, clsid);
}

void CoFreeUnusedLibraries() {
    Libraries().FreeUnused();
}

} // namespace platform
