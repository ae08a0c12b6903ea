#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace viewer {

// The file a downloaded installer is written to: a new file in a new folder that only this user
// can enter, so nobody else can plant a link or a file under the name the program later starts.
// The file is executable by its owner. Unless kept, file and folder are removed again.
class UpdateDownloadFile {
  public:
    UpdateDownloadFile() = default;
    ~UpdateDownloadFile();
    UpdateDownloadFile(const UpdateDownloadFile&) = delete;
    UpdateDownloadFile& operator=(const UpdateDownloadFile&) = delete;

    // Creates the folder under $TMPDIR (or /tmp) and the file in it. On failure Path() names the
    // file that could not be created.
    bool Create(const std::string& fileName);
    // Appends the bytes; on failure Error() says why.
    bool Append(const char* data, size_t size);
    // Closes the file and keeps it and its folder; on failure Error() says why.
    bool Keep();

    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }
    uint64_t Length() const { return length_; }

  private:
    void Fail(const std::string& what, int error);
    void Discard();

    std::string folder_;
    std::string path_;
    std::string error_;
    int fd_ = -1;
    uint64_t length_ = 0;
    bool kept_ = false;
};

} // namespace viewer
