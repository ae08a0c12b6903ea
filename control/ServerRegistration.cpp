#include "control/ServerRegistration.h"

#include "control/SonoprobeCtrlIds.h"
#include "control/SonoprobeTypeLib.h"
#include "platform/ComActivation.h"
#include "platform/ComInterfaces.h"
#include "platform/Registry.h"
#include "platform/RegistryHive.h"

namespace control {
namespace {

using platform::GuidToString;
using platform::Hive;
using platform::RegistryHive;

// The control's status bits (RECOMPOSEONRESIZE, CANTLINKINSIDE, INSIDEOUT,
// ACTIVATEWHENVISIBLE, INVISIBLEATRUNTIME, SETCLIENTSITEFIRST): it has no face at run time.
constexpr char16_t ControlMiscStatus[] = u"132497"; // 0x20591

constexpr char16_t ControlUserTypeName[] = u"Orvane Sonoprobe Control";
constexpr char16_t PropertyPageUserTypeName[] = u"Orvane Sonoprobe Property Page";
constexpr char16_t VersionText[] = u"1.0";

std::u16string TypeLibKey() {
    return u"TypeLib\\" + GuidToString(LIBID_SonoprobeCtrlLib);
}

std::u16string InterfaceKey(const platform::IID& iid) {
    return u"Interface\\" + GuidToString(iid);
}

void Set(RegistryHive& model, const std::u16string& key, const std::u16string& value) {
    model.SetValue(key, u"", value);
}

void WriteInterface(RegistryHive& model, const platform::IID& iid, const std::u16string& name) {
    const std::u16string key = InterfaceKey(iid);
    const std::u16string marshaller = GuidToString(platform::CLSID_PSDispatch);
    Set(model, key, name);
    Set(model, key + u"\\ProxyStubClsid", marshaller);
    Set(model, key + u"\\ProxyStubClsid32", marshaller);
    Set(model, key + u"\\TypeLib", GuidToString(LIBID_SonoprobeCtrlLib));
    model.SetValue(key + u"\\TypeLib", u"Version", std::u16string(VersionText));
}

void RemoveTypeLib(RegistryHive& model) {
    model.DeleteKeyTree(TypeLibKey() + u"\\" + VersionText);
    // Other versions of the library keep the library's key.
    if (model.SubKeys(TypeLibKey()).empty())
        model.DeleteKeyTree(TypeLibKey());
    model.DeleteKeyTree(InterfaceKey(DIID__DSonoprobeCtrl));
    model.DeleteKeyTree(InterfaceKey(DIID__DSonoprobeCtrlEvents));
}

void RemoveClass(RegistryHive& model, const platform::CLSID& clsid, const std::u16string& progId) {
    model.DeleteKeyTree(platform::ClassKey(clsid));
    model.DeleteKeyTree(progId);
}

} // namespace

bool ServerRegistration::Register() const {
    return platform::Registry::Transact(Hive::ClassesRoot, [&](RegistryHive& model) {
        WriteTypeLib(model);
        WriteClass(model, CLSID_SonoprobeCtrl, ControlProgId, ControlUserTypeName);
        WriteControlDetails(model);
        WriteClass(model, CLSID_SonoprobeCtrlPropPage, PropertyPageProgId,
                   PropertyPageUserTypeName);
        return true;
    });
}

bool ServerRegistration::Unregister() {
    return platform::Registry::Transact(Hive::ClassesRoot, [](RegistryHive& model) {
        RemoveTypeLib(model);
        RemoveClass(model, CLSID_SonoprobeCtrl, ControlProgId);
        RemoveClass(model, CLSID_SonoprobeCtrlPropPage, PropertyPageProgId);
        return true;
    });
}

void ServerRegistration::WriteTypeLib(RegistryHive& model) const {
    const std::u16string versionKey = TypeLibKey() + u"\\" + VersionText;
    Set(model, versionKey, SonoprobeTypeLib::HelpText);
    // The library describes a control (the type library's "control" flag).
    Set(model, versionKey + u"\\FLAGS", u"2");
    Set(model, versionKey + u"\\0\\linux", modulePath_);
    Set(model, versionKey + u"\\HELPDIR", u"");
    WriteInterface(model, DIID__DSonoprobeCtrl, SonoprobeTypeLib::DispatchInterface().name);
    WriteInterface(model, DIID__DSonoprobeCtrlEvents, SonoprobeTypeLib::EventsName);
}

void ServerRegistration::WriteClass(RegistryHive& model, const platform::CLSID& clsid,
                                    const std::u16string& progId,
                                    const std::u16string& userTypeName) const {
    const std::u16string key = platform::ClassKey(clsid);
    Set(model, key, userTypeName);
    Set(model, key + u"\\ProgID", progId);
    Set(model, key + u"\\InprocServer32", modulePath_);
    model.SetValue(key + u"\\InprocServer32", u"ThreadingModel", std::u16string(u"Apartment"));
    Set(model, progId, userTypeName);
    Set(model, progId + u"\\CLSID", GuidToString(clsid));
}

void ServerRegistration::WriteControlDetails(RegistryHive& model) const {
    const std::u16string key = platform::ClassKey(CLSID_SonoprobeCtrl);
    model.CreateKey(key + u"\\Control");
    model.CreateKey(key + u"\\Insertable");
    model.CreateKey(std::u16string(ControlProgId) + u"\\Insertable");
    Set(model, key + u"\\ToolboxBitmap32", modulePath_ + u", 1");
    Set(model, key + u"\\MiscStatus", u"0");
    Set(model, key + u"\\MiscStatus\\1", ControlMiscStatus);
    Set(model, key + u"\\TypeLib", GuidToString(LIBID_SonoprobeCtrlLib));
    Set(model, key + u"\\Version", VersionText);
}

} // namespace control
