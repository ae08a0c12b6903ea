#include "platform/DynamicLibrary.h"

#include <dlfcn.h>
#include <utility>

namespace platform {

DynamicLibrary::DynamicLibrary(const std::string& path) {
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* reason = ::dlerror();
        error_ = reason ? reason : "cannot load " + path;
    }
}

DynamicLibrary::~DynamicLibrary() {
    Unload();
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
    if (this != &other) {
        Unload();
        handle_ = std::exchange(other.handle_, nullptr);
        error_ = std::move(other.error_);
    }
    return *this;
}

void DynamicLibrary::Unload() {
    if (handle_)
        ::dlclose(std::exchange(handle_, nullptr));
}

void* DynamicLibrary::Symbol(const char* name) const {
    return handle_ ? ::dlsym(handle_, name) : nullptr;
}

} // namespace platform
