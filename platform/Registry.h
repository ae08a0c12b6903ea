#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

enum class Hive { CurrentUser, ClassesRoot };
class RegistryHive;

// A registry value: a 32-bit number (REG_DWORD) or a string (REG_SZ).
using RegistryValue = std::variant<uint32_t, std::u16string>;

// A small registry: one plain-text hive file per root under
// $XDG_CONFIG_HOME/Orvane/registry/. Key paths use "\" between their parts and compare ASCII
// letters without case, as the Windows registry does. The empty value name is the key's
// default value. Every change is a locked read-modify-write with an atomic replace, so several
// processes writing at once lose nothing and a crash never leaves a damaged hive.
namespace Registry {

std::optional<RegistryValue> GetValue(Hive hive, const std::u16string& key,
                                      const std::u16string& name);
bool KeyExists(Hive hive, const std::u16string& key);
std::vector<std::u16string> SubKeys(Hive hive, const std::u16string& key);
std::vector<std::u16string> ValueNames(Hive hive, const std::u16string& key);

// Creates the key and its parents when missing.
bool CreateKey(Hive hive, const std::u16string& key);
bool SetValue(Hive hive, const std::u16string& key, const std::u16string& name,
              const RegistryValue& value);
bool DeleteValue(Hive hive, const std::u16string& key, const std::u16string& name);
// Removes the key with all its subkeys. False when it did not exist.
bool DeleteKeyTree(Hive hive, const std::u16string& key);
// Several reads and changes as one locked read-modify-write (one file replace instead of one
// per value). When `changes` answers false nothing is written and the result is false.
bool Transact(Hive hive, const std::function<bool(RegistryHive& model)>& changes);

// The hive file's path (for tests and the fuzz target).
std::string HiveFilePath(Hive hive);

} // namespace Registry
} // namespace platform
