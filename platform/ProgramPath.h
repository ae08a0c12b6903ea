#pragma once
#include <string>

namespace platform {

// The resolved path of the running executable (/proc/self/exe).
std::string ProgramPath();
// Its folder, ending with "/".
std::string ProgramFolder();
// The executable's file name without extension: the application name of settings keys.
std::string ApplicationName();

} // namespace platform
