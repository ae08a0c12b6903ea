#include "control/ControlClassFactory.h"

#include "control/CSonoprobeCtrlApp.h"

namespace control {

using namespace platform;

HRESULT ControlClassFactory::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT ControlClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return create_(iid, object);
}

HRESULT ControlClassFactory::LockServer(bool lock) {
    CSonoprobeCtrlApp::Instance().LockServer(lock);
    return S_OK;
}

} // namespace control
