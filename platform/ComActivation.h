#pragma once
// Activation by class identifier: HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32 names the
// component's library; it is loaded once per process and asked for the class object through
// its DllGetClassObject export.
#include "platform/ComInterfaces.h"

#include <string>
#include <string_view>

namespace platform {

// The four exports of a component library.
using DllGetClassObjectFunction = HRESULT (*)(REFCLSID clsid, REFIID iid, void** object);
using DllCanUnloadNowFunction = HRESULT (*)();
using DllRegisterServerFunction = HRESULT (*)();
using DllUnregisterServerFunction = HRESULT (*)();

// The class object (normally IClassFactory) of a registered class. REGDB_E_CLASSNOTREG when
// the class or its library path is not registered, CO_E_DLLNOTFOUND when the library cannot
// be loaded, CO_E_ERRORINDLL when it has no DllGetClassObject.
HRESULT CoGetClassObject(REFCLSID clsid, REFIID iid, void** object);
// A new object of a registered class, through its class factory; the errors of
// CoGetClassObject, or those of the factory.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, REFIID iid, void** object);
// The class identifier that HKEY_CLASSES_ROOT\<ProgID>\CLSID names; CO_E_CLASSSTRING when the
// ProgID is not registered.
HRESULT CLSIDFromProgID(std::u16string_view progId, CLSID* clsid);
// "{...}" text to a class identifier; CO_E_CLASSSTRING when malformed.
HRESULT CLSIDFromString(std::u16string_view text, CLSID* clsid);
// Unloads the component libraries whose DllCanUnloadNow says they are unused.
void CoFreeUnusedLibraries();
// The registry key of a class: CLSID\{...}.
std::u16string ClassKey(REFCLSID clsid);

} // namespace platform
