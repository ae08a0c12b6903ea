#include "platform/Registry.h"

#include "platform/AtomicTextFile.h"
#include "platform/Profile.h"
#include "platform/RegistryHive.h"

namespace platform {
namespace Registry {
namespace {

const char* HiveTitle(Hive hive) {
    return hive == Hive::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_CLASSES_ROOT";
}

RegistryHive Load(Hive hive) {
    std::optional<std::string> text = AtomicTextFile::Read(HiveFilePath(hive));
    return text ? RegistryHive::Parse(*text) : RegistryHive();
}

// A locked read-modify-write of the hive file. Lines of a damaged hive that the change would
// drop are kept in a copy beside it, so a hand edit gone wrong loses nothing.
template <typename Operation> bool Change(Hive hive, Operation operation) {
    std::string path = HiveFilePath(hive);
    bool result = false;
    bool written = AtomicTextFile::Update(
        path,
        [&](const std::string* current) -> std::optional<std::string> {
            RegistryHive model = current ? RegistryHive::Parse(*current) : RegistryHive();
            result = operation(model);
            if (!result)
                return std::nullopt;
            if (model.DamagedLines() > 0)
                AtomicTextFile::KeepCopy(path, path + ".damaged");
            return model.ToText(HiveTitle(hive));
        },
        0600);
    return written && result;
}

} // namespace

std::string HiveFilePath(Hive hive) {
    return ConfigHome() + "/Orvane/registry/" +
           (hive == Hive::CurrentUser ? "current_user.reg" : "classes_root.reg");
}

std::optional<RegistryValue> GetValue(Hive hive, const std::u16string& key,
                                      const std::u16string& name) {
    RegistryHive model = Load(hive);
    const RegistryValue* value = model.Find(key, name);
    return value ? std::optional<RegistryValue>(*value) : std::nullopt;
}

bool KeyExists(Hive hive, const std::u16string& key) {
    return Load(hive).KeyExists(key);
}

std::vector<std::u16string> SubKeys(Hive hive, const std::u16string& key) {
    return Load(hive).SubKeys(key);
}

std::vector<std::u16string> ValueNames(Hive hive, const std::u16string& key) {
    return Load(hive).ValueNames(key);
}

bool CreateKey(Hive hive, const std::u16string& key) {
    return Change(hive, [&](RegistryHive& model) { return model.CreateKey(key); });
}

bool SetValue(Hive hive, const std::u16string& key, const std::u16string& name,
              const RegistryValue& value) {
    return Change(hive, [&](RegistryHive& model) { return model.SetValue(key, name, value); });
}

bool DeleteValue(Hive hive, const std::u16string& key, const std::u16string& name) {
    return Change(hive, [&](RegistryHive& model) { return model.DeleteValue(key, name); });
}

bool DeleteKeyTree(Hive hive, const std::u16string& key) {
    return Change(hive, [&](RegistryHive& model) { return model.DeleteKeyTree(key); });
}

bool Transact(Hive hive, const std::function<bool(RegistryHive& model)>& changes) {
    return Change(hive, changes);
}

} // namespace Registry
} // namespace platform
