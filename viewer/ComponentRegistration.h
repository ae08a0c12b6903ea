#pragma once
#include "platform/ComInterfaces.h"
#include "platform/ComPtr.h"

#include <string>

namespace viewer {

// Keeps the analysis control registered while the viewer runs. The viewer runs from any folder
// without an installer: at start it registers the control from the library beside the program
// when no registration exists, and a process that did so removes the registration when it
// ends.
class ComponentRegistration {
  public:
    static constexpr char LibraryName[] = "libSonoprobeCtrl.so";

    // The library is looked for in this folder (ending with "/") first.
    explicit ComponentRegistration(std::string libraryFolder);
    // The process's registration, for the library in the program's folder.
    static ComponentRegistration& ForProgram();

    // Registers the control unless a library is already registered for its class. Failures
    // are shown ("Cannot load library", "Cannot find <DllRegisterServer>!", "Cannot register
    // Sonoprobe component!") and the start goes on.
    void CheckRegistration();
    // When this process registered the control: unregisters it through the library and removes
    // the class key. Silent.
    void UnregisterAtExit();
    // True when this process registered the control.
    bool RegisteredAtStart() const { return registeredAtStart_; }
    // Creates the control by its class identifier. An earlier viewer process that registered
    // the control removes the registration when it ends, possibly after this one found it
    // registered; so when the class is not registered, the check runs once more and the
    // creation is tried again.
    platform::HRESULT CreateControl(platform::ComPtr<platform::IDispatch>& control);

    static bool IsControlRegistered();

  private:
    std::string libraryFolder_;
    bool registeredAtStart_ = false;
};

} // namespace viewer
