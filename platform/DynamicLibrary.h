#pragma once
#include <string>

namespace platform {

// A shared library loaded into the process (dlopen). A name without "/" is searched the
// system's way; anything else is a path. The library is unloaded when the object goes, unless
// KeepLoaded was called.
class DynamicLibrary {
  public:
    DynamicLibrary() = default;
    explicit DynamicLibrary(const std::string& path);
    ~DynamicLibrary();
    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool IsLoaded() const { return handle_ != nullptr; }
    // Why loading failed, as the system says it.
    const std::string& Error() const { return error_; }
    // The exported function, or null when the library has no such export.
    template <typename Function> Function Find(const char* name) const {
        return reinterpret_cast<Function>(Symbol(name));
    }
    // Leaves the library loaded for the rest of the process.
    void KeepLoaded() { handle_ = nullptr; }
    void Unload();

  private:
    void* Symbol(const char* name) const;

    void* handle_ = nullptr;
    std::string error_;
};

} // namespace platform
