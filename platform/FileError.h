#pragma once
#include <stdexcept>
#include <string>

namespace platform {

// A failed file operation: carries the errno and the path so a host can say what went wrong.
class FileError : public std::runtime_error {
public:
    FileError(int errorNumber, std::string path, const std::string& operation);
    int errorNumber() const { return errorNumber_; }
    const std::string& path() const { return path_; }

private:
    int errorNumber_;
    std::string path_;
};

} // namespace platform
