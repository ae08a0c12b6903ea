#include "viewer/ViewerSettings.h"

#include "platform/CodePage.h"
#include "platform/Profile.h"
#include "platform/ProgramPath.h"

#include <optional>

namespace viewer {
namespace {

constexpr int IniAbsent = 16777215;
const std::u16string Section = u"Settings";

std::optional<std::string>& IniPathOverride() {
    static std::optional<std::string> path;
    return path;
}

platform::Profile RegistryProfile() {
    return platform::Profile(u"Orvane", platform::Utf8ToUtf16(platform::ApplicationName()));
}

int ReadIniInt(const std::u16string& key) {
    return platform::GetPrivateProfileInt(Section, key, IniAbsent, ViewerSettings::IniPath());
}

} // namespace

std::string ViewerSettings::IniPath() {
    if (IniPathOverride())
        return *IniPathOverride();
    std::string path = platform::ProgramPath();
    auto slash = path.rfind('/');
    auto dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        path.resize(dot);
    return path + ".ini";
}

void ViewerSettings::SetIniPath(const std::string& path) {
    if (path.empty())
        IniPathOverride().reset();
    else
        IniPathOverride() = path;
}

int ViewerSettings::ReadIntSetting(const std::u16string& key, int defaultValue) {
    int fromIni = ReadIniInt(key);
    if (fromIni != IniAbsent)
        return fromIni;
    return RegistryProfile().GetProfileInt(Section, key, defaultValue);
}

void ViewerSettings::WriteIntSetting(const std::u16string& key, int value) {
    if (ReadIniInt(key) != IniAbsent) {
        platform::WritePrivateProfileString(Section, key,
                                            platform::Utf8ToUtf16(std::to_string(value)),
                                            IniPath());
        return;
    }
    RegistryProfile().WriteProfileInt(Section, key, value);
}

std::u16string ViewerSettings::ReadStringSetting(const std::u16string& key,
                                                 const std::u16string& defaultValue) {
    return RegistryProfile().GetProfileString(Section, key, defaultValue);
}

void ViewerSettings::WriteStringSetting(const std::u16string& key, const std::u16string& value) {
    RegistryProfile().WriteProfileString(Section, key, value);
}

} // namespace viewer
