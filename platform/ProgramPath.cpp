#include "platform/ProgramPath.h"

#include <filesystem>
#include <system_error>

namespace platform {

std::string ProgramPath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::string ProgramFolder() {
    std::string path = ProgramPath();
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string ApplicationName() {
    std::filesystem::path path(ProgramPath());
    return path.stem().string();
}

} // namespace platform
