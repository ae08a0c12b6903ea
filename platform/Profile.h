#pragma once
#include <string>

namespace platform {

// The application's registry profile, as the class library's profile functions use it after
// SetRegistryKey: each section is the key
// HKEY_CURRENT_USER\Software\<company>\<application>\<section>.
class Profile {
  public:
    Profile(std::u16string company, std::u16string application);

    int GetProfileInt(const std::u16string& section, const std::u16string& entry,
                      int defaultValue) const;
    bool WriteProfileInt(const std::u16string& section, const std::u16string& entry, int value);
    std::u16string GetProfileString(const std::u16string& section, const std::u16string& entry,
                                    const std::u16string& defaultValue) const;
    bool WriteProfileString(const std::u16string& section, const std::u16string& entry,
                            const std::u16string& value);
    std::u16string SectionKey(const std::u16string& section) const;

  private:
    std::u16string company_;
    std::u16string application_;
};

// INI files ("private profiles"): [section] and key=value lines, names compared without case.
// GetPrivateProfileInt reads the leading decimal digits (with an optional minus) as the
// system's reader does, the default when the key is missing or has no digits.
int GetPrivateProfileInt(const std::u16string& section, const std::u16string& key, int defaultValue,
                         const std::string& iniPath);
std::u16string GetPrivateProfileString(const std::u16string& section, const std::u16string& key,
                                       const std::u16string& defaultValue,
                                       const std::string& iniPath);
// Writes the key, creating the section or the file when needed; atomic replace.
bool WritePrivateProfileString(const std::u16string& section, const std::u16string& key,
                               const std::u16string& value, const std::string& iniPath);
// "WIN.INI": $XDG_CONFIG_HOME/Orvane/win.ini.
std::string WinIniPath();
// $XDG_CONFIG_HOME, or ~/.config when unset.
std::string ConfigHome();

} // namespace platform
