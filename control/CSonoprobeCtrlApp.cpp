#include "control/CSonoprobeCtrlApp.h"

#include "control/CSonoprobeCtrlCtrl.h"
#include "control/CSonoprobeCtrlPropPage.h"
#include "control/ServerRegistration.h"
#include "control/SonoprobeCtrlIds.h"

namespace control {

using namespace platform;

CSonoprobeCtrlApp::CSonoprobeCtrlApp()
    : controlFactory_(CLSID_SonoprobeCtrl, &CSonoprobeCtrlCtrl::Create),
      propertyPageFactory_(CLSID_SonoprobeCtrlPropPage, &CSonoprobeCtrlPropPage::Create) {}

CSonoprobeCtrlApp& CSonoprobeCtrlApp::Instance() {
    static CSonoprobeCtrlApp module;
    return module;
}

HRESULT CSonoprobeCtrlApp::GetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    for (ControlClassFactory* factory : {&controlFactory_, &propertyPageFactory_})
        if (factory->ClassId() == clsid)
            return factory->QueryInterface(iid, object);
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CSonoprobeCtrlApp::CanUnloadNow() const {
    return objects_ == 0 && locks_ == 0 ? S_OK : S_FALSE;
}

HRESULT CSonoprobeCtrlApp::RegisterServer(const std::u16string& modulePath) const {
    // The type library and the classes are written in one change of the hive: when it fails,
    // the first step, the type library, is what could not be registered.
    return ServerRegistration(modulePath).Register() ? S_OK : SELFREG_E_TYPELIB;
}

HRESULT CSonoprobeCtrlApp::UnregisterServer() const {
    return ServerRegistration::Unregister() ? S_OK : SELFREG_E_TYPELIB;
}

} // namespace control
