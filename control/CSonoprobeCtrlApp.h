#pragma once
#include "control/ControlClassFactory.h"

#include <atomic>
#include <string>

namespace control {

// The component module: its two class objects, the count of live objects and locks that
// decides whether the library may be unloaded, and self-registration.
class CSonoprobeCtrlApp {
  public:
    static CSonoprobeCtrlApp& Instance();

    // The class object of the control or of its property page; CLASS_E_CLASSNOTAVAILABLE for
    // any other class.
    platform::HRESULT GetClassObject(platform::REFCLSID clsid, platform::REFIID iid, void** object);
    // S_OK when no object is alive and no lock is held, else S_FALSE.
    platform::HRESULT CanUnloadNow() const;
    // Registers the type library and both classes, naming modulePath as the library that
    // serves them, in one change of the hive; SELFREG_E_TYPELIB when it cannot be written.
    platform::HRESULT RegisterServer(const std::u16string& modulePath) const;
    // Removes the same entries in one change, with the same error code.
    platform::HRESULT UnregisterServer() const;

    void ObjectCreated() { ++objects_; }
    void ObjectDestroyed() { --objects_; }
    void LockServer(bool lock) { lock ? ++locks_ : --locks_; }

  private:
    CSonoprobeCtrlApp();

    ControlClassFactory controlFactory_;
    ControlClassFactory propertyPageFactory_;
    std::atomic<long> objects_{0};
    std::atomic<long> locks_{0};
};

} // namespace control
