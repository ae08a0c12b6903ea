// The four exports of libSonoprobeCtrl.so. Everything else in the library stays hidden (see
// SonoprobeCtrl.map), so the analysis code inside cannot clash with a host's own copy.
#include "control/CSonoprobeCtrlApp.h"
#include "platform/CodePage.h"

#include <cstdlib>
#include <dlfcn.h>
#include <memory>

#define SONO_EXPORT extern "C" __attribute__((visibility("default")))

using platform::HRESULT;

namespace {

// The library's own absolute path, which the registry must name.
std::u16string ModulePath() {
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(&ModulePath), &info) || !info.dli_fname)
        return {};
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(info.dli_fname, nullptr),
                                                         &std::free);
    return resolved ? platform::Utf8ToUtf16(resolved.get()) : std::u16string();
}

} // namespace

SONO_EXPORT HRESULT DllGetClassObject(platform::REFCLSID clsid, platform::REFIID iid,
                                      void** object) {
    return control::CSonoprobeCtrlApp::Instance().GetClassObject(clsid, iid, object);
}

SONO_EXPORT HRESULT DllCanUnloadNow() {
    return control::CSonoprobeCtrlApp::Instance().CanUnloadNow();
}

SONO_EXPORT HRESULT DllRegisterServer() {
    const std::u16string path = ModulePath();
    if (path.empty())
        return platform::SELFREG_E_TYPELIB;
    return control::CSonoprobeCtrlApp::Instance().RegisterServer(path);
}

SONO_EXPORT HRESULT DllUnregisterServer() {
    return control::CSonoprobeCtrlApp::Instance().UnregisterServer();
}
