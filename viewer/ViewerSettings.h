#pragma once
#include <string>

namespace viewer {

// The viewer's settings: integers in the registry profile (section "Settings") unless the .ini
// file beside the program already holds the key; strings in the registry profile only.
class ViewerSettings {
public:
    // The .ini override: the program's path with its extension replaced by ".ini".
    static std::string IniPath();
    // Overrides IniPath (tests); an empty path restores the default.
    static void SetIniPath(const std::string& path);

    static int ReadIntSetting(const std::u16string& key, int defaultValue);
    static void WriteIntSetting(const std::u16string& key, int value);
    static std::u16string ReadStringSetting(const std::u16string& key,
                                            const std::u16string& defaultValue);
    static void WriteStringSetting(const std::u16string& key, const std::u16string& value);
};

} // namespace viewer
