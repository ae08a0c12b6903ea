#include "platform/FileError.h"

#include <cstring>

namespace platform {

FileError::FileError(int errorNumber, std::string path, const std::string& operation)
    : std::runtime_error(operation + " failed for '" + path + "': " + std::strerror(errorNumber)),
      errorNumber_(errorNumber), path_(std::move(path)) {}

} // namespace platform
