#pragma once
#include "platform/Registry.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One registry hive in memory, and its text form:
//
//   ; comment
//   [Software\Orvane\Sonoprobe\Settings]
//   "FontSize"=dword:0000000a
//   "Console delimiter"="\r\n"
//   @="the key's default value"
//
// Key paths are stored as the keys were created and compared without ASCII case. Parents of a
// stored key exist implicitly, so a key costs one entry however deep it lies. Strings are
// UTF-8 in the text; quotes, backslashes, control characters and unpaired surrogates are
// escaped, so every UTF-16 string comes back unchanged.
class RegistryHive {
  public:
    // Reads hive text. Lines that cannot be understood are skipped and counted, never fatal,
    // whatever the input holds.
    static RegistryHive Parse(std::string_view text);
    // The text form; the comment line names the hive.
    std::string ToText(std::string_view title) const;
    // Lines Parse had to skip.
    size_t DamagedLines() const { return damagedLines_; }

    // A key path: parts of 1 to 255 characters without "\" or control characters, at most
    // 512 levels; the empty path is the root.
    static bool IsValidKeyPath(std::u16string_view path);

    const RegistryValue* Find(std::u16string_view key, std::u16string_view name) const;
    bool KeyExists(std::u16string_view key) const;
    std::vector<std::u16string> SubKeys(std::u16string_view key) const;
    std::vector<std::u16string> ValueNames(std::u16string_view key) const;

    bool CreateKey(std::u16string_view key);
    bool SetValue(std::u16string_view key, std::u16string_view name, const RegistryValue& value);
    bool DeleteValue(std::u16string_view key, std::u16string_view name);
    bool DeleteKeyTree(std::u16string_view key);

  private:
    struct NamedValue {
        std::u16string name;
        RegistryValue value;
    };
    struct Key {
        std::u16string path;
        std::map<std::u16string, NamedValue> values; // by folded name
    };
    using KeyMap = std::map<std::u16string, Key>; // by folded path

    static std::u16string Fold(std::u16string_view text);
    static bool IsDescendant(const std::u16string& foldedPath, const std::u16string& foldedKey);
    // The first stored key at or below the folded path, if any.
    KeyMap::const_iterator FirstAtOrBelow(const std::u16string& foldedKey) const;
    Key& Insert(std::u16string_view key);
    bool ParseLine(std::string_view line, Key*& current);

    KeyMap keys_;
    size_t damagedLines_ = 0;
};

} // namespace platform
