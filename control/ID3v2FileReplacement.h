#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace control {

// Replaces a file with new content in one step: the new content goes to a temporary file
// beside the target (same folder, so the same file system), is synced, and is renamed over
// the target, which keeps its owner and permissions. Until then the target is untouched; a
// replacement that does not get that far removes its temporary file. The target is held with
// an exclusive lock meanwhile, so that an analysis or another write cannot open it.
class ID3v2FileReplacement {
  public:
    explicit ID3v2FileReplacement(const std::string& path);
    ~ID3v2FileReplacement();
    ID3v2FileReplacement(const ID3v2FileReplacement&) = delete;
    ID3v2FileReplacement& operator=(const ID3v2FileReplacement&) = delete;

    // Opens the target for reading and locks it. False when it is missing, no regular file,
    // read-only (no write permission bit, or no write access for this user), or held by
    // another process.
    bool OpenTarget();
    // Creates the temporary file. False when the folder refuses it.
    bool CreateTemporary();

    uint64_t TargetLength() const { return targetLength_; }
    // Reads up to count bytes of the target from the offset; fewer only at its end. Throws
    // platform::FileError.
    size_t ReadTarget(uint64_t offset, void* buffer, size_t count) const;
    // Appends to the temporary file. Throws platform::FileError.
    void Write(std::string_view bytes);
    // The length of the temporary file. Throws platform::FileError.
    uint64_t WrittenLength() const;
    // Gives the temporary file the target's owner and permissions, syncs it to the disk and
    // closes it. Throws platform::FileError.
    void Finish();
    // Renames the finished temporary file over the target. False when that fails; the
    // temporary file is then removed.
    bool Replace();

  private:
    [[noreturn]] void Fail(const std::string& operation, const std::string& path) const;
    void RemoveTemporary();

    std::string target_;
    std::string temporary_;
    int targetFd_ = -1;
    int temporaryFd_ = -1;
    uint64_t targetLength_ = 0;
    unsigned targetMode_ = 0;
    unsigned targetOwner_ = 0;
    unsigned targetGroup_ = 0;
};

} // namespace control
