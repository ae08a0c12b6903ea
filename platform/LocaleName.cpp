#include "platform/LocaleName.h"

#include <cstdlib>

namespace platform {

std::string LocaleName(const char* categoryVariable) {
    std::string name;
    for (const char* variable : {"LC_ALL", categoryVariable, "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            name = value;
            break;
        }
    }
    if (name.empty())
        return "C";
    auto cut = name.find_first_of(".@");
    if (cut != std::string::npos)
        name.resize(cut);
    return name.empty() ? std::string("C") : name;
}

bool IsPosixLocale(const std::string& localeName) {
    return localeName == "C" || localeName == "POSIX";
}

} // namespace platform
