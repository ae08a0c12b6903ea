#pragma once
#include "platform/ComGuid.h"

#include <string>

namespace platform {
class RegistryHive;
}

namespace control {

// The registry entries of the component under HKEY_CLASSES_ROOT: its type library and its two
// classes.
class ServerRegistration {
  public:
    explicit ServerRegistration(std::u16string modulePath) : modulePath_(std::move(modulePath)) {}

    // Writes, as one change of the hive: TypeLib\{libid}\1.0 with the library's path and the
    // Interface entries of its two dispatch interfaces; CLSID\{clsid} of the control and of its
    // property page, with the library, threading model, status bits, type library and toolbox
    // bitmap, and the ProgID entries that lead back to the classes. A registration that
    // cannot be written leaves nothing half-done.
    bool Register() const;
    // Removes what Register wrote, as one change; absent entries count as removed.
    static bool Unregister();

  private:
    void WriteTypeLib(platform::RegistryHive& model) const;
    void WriteClass(platform::RegistryHive& model, const platform::CLSID& clsid,
                    const std::u16string& progId, const std::u16string& userTypeName) const;
    void WriteControlDetails(platform::RegistryHive& model) const;

    std::u16string modulePath_;
};

} // namespace control
