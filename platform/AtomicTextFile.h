#pragma once
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

namespace platform {

// A small text file that several processes read and change at once (a registry hive, an INI
// file). A change holds an exclusive lock on a companion lock file while it reads the current
// content, computes the new one and renames a fully written, synced temporary file over the
// original. Readers therefore always see a whole old or a whole new file, and concurrent
// changes never overwrite each other.
class AtomicTextFile {
  public:
    // Receives the current content (nullptr when the file does not exist) and returns the new
    // content, or nothing to leave the file as it is.
    using Change = std::function<std::optional<std::string>(const std::string* current)>;

    // The whole file; nothing when it is missing or cannot be read.
    static std::optional<std::string> Read(const std::string& path);
    // Applies the change under the lock. Missing parent folders are created (mode 0700). A new
    // file gets newFileMode (less the umask); a replaced one keeps its mode. False when the
    // file could not be read (other than missing), locked or written; the file is then as it
    // was.
    static bool Update(const std::string& path, const Change& change, mode_t newFileMode);
    // Keeps a copy of the current file under another name (replacing an older copy), so that
    // content about to be dropped stays available to the user.
    static bool KeepCopy(const std::string& path, const std::string& copyPath);

  private:
    static bool ReadAll(int fd, std::string& content);
    static bool WriteReplacement(const std::string& path, const std::string& content, mode_t mode);
    static bool CreateFolders(const std::string& folder);
};

} // namespace platform
