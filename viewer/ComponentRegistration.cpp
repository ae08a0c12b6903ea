#include "viewer/ComponentRegistration.h"

#include "control/SonoprobeCtrlIds.h"
#include "platform/ComActivation.h"
#include "platform/DynamicLibrary.h"
#include "platform/MessageBox.h"
#include "platform/ProgramPath.h"
#include "platform/Registry.h"

namespace viewer {
namespace {

using platform::Hive;

const std::u16string LibraryNameText(ComponentRegistration::LibraryName,
                                     ComponentRegistration::LibraryName +
                                         sizeof ComponentRegistration::LibraryName - 1);

void ShowRegistrationError(const std::u16string& text) {
    platform::ShowMessage(text, u"ERROR!", platform::MB_OK | platform::MB_ICONERROR);
}

} // namespace

ComponentRegistration::ComponentRegistration(std::string libraryFolder)
    : libraryFolder_(std::move(libraryFolder)) {}

ComponentRegistration& ComponentRegistration::ForProgram() {
    static ComponentRegistration registration(platform::ProgramFolder());
    return registration;
}

bool ComponentRegistration::IsControlRegistered() {
    auto path = platform::Registry::GetValue(
        Hive::ClassesRoot, platform::ClassKey(control::CLSID_SonoprobeCtrl) + u"\\InprocServer32",
        u"");
    return path && std::holds_alternative<std::u16string>(*path) &&
           !std::get<std::u16string>(*path).empty();
}

void ComponentRegistration::CheckRegistration() {
    if (IsControlRegistered())
        return;
    // The program's folder first, then the system's search order.
    platform::DynamicLibrary library(libraryFolder_ + LibraryName);
    if (!library.IsLoaded())
        library = platform::DynamicLibrary(LibraryName);
    if (!library.IsLoaded()) {
        ShowRegistrationError(u"Cannot load library\n" + LibraryNameText);
        return;
    }
    auto registerServer = library.Find<platform::DllRegisterServerFunction>("DllRegisterServer");
    // Not released again: the objects of the control will come from it.
    library.KeepLoaded();
    if (!registerServer) {
        ShowRegistrationError(u"Cannot find <DllRegisterServer>!");
        return;
    }
    if (platform::FAILED(registerServer())) {
        ShowRegistrationError(u"Cannot register Sonoprobe component!\n" + LibraryNameText);
        return;
    }
    registeredAtStart_ = true;
}

void ComponentRegistration::UnregisterAtExit() {
    if (!registeredAtStart_)
        return;
    platform::DynamicLibrary library(libraryFolder_ + LibraryName);
    if (auto unregisterServer =
            library.Find<platform::DllUnregisterServerFunction>("DllUnregisterServer"))
        unregisterServer();
    // Objects of the control may still be alive until the process ends.
    library.KeepLoaded();
    platform::Registry::DeleteKeyTree(Hive::ClassesRoot,
                                      platform::ClassKey(control::CLSID_SonoprobeCtrl));
}

platform::HRESULT
ComponentRegistration::CreateControl(platform::ComPtr<platform::IDispatch>& control) {
    platform::HRESULT status = platform::CoCreateInstance(
        control::CLSID_SonoprobeCtrl, nullptr, platform::IID_IDispatch, control.ReceiveVoid());
    if (status != platform::REGDB_E_CLASSNOTREG)
        return status;
    CheckRegistration();
    return platform::CoCreateInstance(control::CLSID_SonoprobeCtrl, nullptr,
                                      platform::IID_IDispatch, control.ReceiveVoid());
}

} // namespace viewer
