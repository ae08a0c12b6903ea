#include "platform/Profile.h"

#include "platform/AtomicTextFile.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

std::optional<std::u16string> ReadIniValue(const std::u16string& section, const std::u16string& key,
                                           const std::string& iniPath) {
    std::optional<std::string> text = AtomicTextFile::Read(iniPath);
    if (!text)
        return std::nullopt;
    return IniFile::Parse(*text).Get(section, key);
}

// The leading decimal number with an optional minus, wrapping as the system's reader does;
// nothing when there are no digits.
std::optional<int> LeadingInteger(std::u16string_view text) {
    bool negative = !text.empty() && text.front() == u'-';
    if (negative)
        text.remove_prefix(1);
    uint32_t value = 0;
    size_t digits = 0;
    for (; digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9'; ++digits)
        value = value * 10 + static_cast<uint32_t>(text[digits] - u'0');
    if (digits == 0)
        return std::nullopt;
    return static_cast<int>(negative ? 0u - value : value);
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir)
        return found->pw_dir;
    return "/";
}

} // namespace

Profile::Profile(std::u16string company, std::u16string application)
    : company_(std::move(company)), application_(std::move(application)) {}

std::u16string Profile::SectionKey(const std::u16string& section) const {
    return u"Software\\" + company_ + u"\\" + application_ + u"\\" + section;
}

int Profile::GetProfileInt(const std::u16string& section, const std::u16string& entry,
                           int defaultValue) const {
    auto value = Registry::GetValue(Hive::CurrentUser, SectionKey(section), entry);
    const auto* number = value ? std::get_if<uint32_t>(&*value) : nullptr;
    return number ? static_cast<int>(*number) : defaultValue;
}

bool Profile::WriteProfileInt(const std::u16string& section, const std::u16string& entry,
                              int value) {
    return Registry::SetValue(Hive::CurrentUser, SectionKey(section), entry,
                              static_cast<uint32_t>(value));
}

std::u16string Profile::GetProfileString(const std::u16string& section, const std::u16string& entry,
                                         const std::u16string& defaultValue) const {
    auto value = Registry::GetValue(Hive::CurrentUser, SectionKey(section), entry);
    const auto* text = value ? std::get_if<std::u16string>(&*value) : nullptr;
    return text ? *text : defaultValue;
}

bool Profile::WriteProfileString(const std::u16string& section, const std::u16string& entry,
                                 const std::u16string& value) {
    return Registry::SetValue(Hive::CurrentUser, SectionKey(section), entry, value);
}

int GetPrivateProfileInt(const std::u16string& section, const std::u16string& key, int defaultValue,
                         const std::string& iniPath) {
    std::optional<std::u16string> text = ReadIniValue(section, key, iniPath);
    std::optional<int> number = text ? LeadingInteger(*text) : std::nullopt;
    return number.value_or(defaultValue);
}

std::u16string GetPrivateProfileString(const std::u16string& section, const std::u16string& key,
                                       const std::u16string& defaultValue,
                                       const std::string& iniPath) {
    return ReadIniValue(section, key, iniPath).value_or(defaultValue);
}

bool WritePrivateProfileString(const std::u16string& section, const std::u16string& key,
                               const std::u16string& value, const std::string& iniPath) {
    bool stored = false;
    bool written = AtomicTextFile::Update(
        iniPath,
        [&](const std::string* current) -> std::optional<std::string> {
            IniFile file = IniFile::Parse(current ? *current : std::string());
            stored = file.Set(section, key, value);
            return stored ? std::optional<std::string>(file.ToText()) : std::nullopt;
        },
        0666);
    return written && stored;
}

std::string WinIniPath() {
    return ConfigHome() + "/Orvane/win.ini";
}

std::string ConfigHome() {
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is to be ignored.
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    std::string home = configured && configured[0] == '/' ? configured : HomeFolder() + "/.config";
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    return home;
}

} // namespace platform
