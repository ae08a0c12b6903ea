#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// The analysed file, read-only. Parsers issue many small seeks and reads; they are served from
// one block buffer, so an analysis costs a handful of system calls whatever the read pattern.
// A seek before the start raises FileError, as the system's file class does.
class InputFile {
public:
    enum class Origin { Begin, Current, End };

    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens a regular file with a shared, non-waiting advisory lock. False when it cannot be
    // opened, is a folder, or is held exclusively by a writer.
    bool Open(const std::string& path);
    // Serves the given bytes as the file's content (fuzzing, tests).
    void OpenMemory(std::vector<uint8_t> content, std::string name = "memory");

    uint32_t Read(void* buffer, uint32_t count);
    uint64_t Seek(int64_t offset, Origin origin);
    uint64_t GetLength() const { return length_; }
    uint64_t GetPosition() const { return position_; }
    void Close();
    bool IsOpen() const { return fd_ >= 0 || memoryMode_; }
    const std::string& Path() const { return path_; }

private:
    bool FillBlock(uint64_t blockStart);

    static constexpr uint32_t BlockSize = 64 * 1024;
    int fd_ = -1;
    bool memoryMode_ = false;
    std::string path_;
    uint64_t length_ = 0;
    uint64_t position_ = 0;
    std::vector<uint8_t> block_;
    uint64_t blockStart_ = 0;
    uint32_t blockFill_ = 0;
    bool blockValid_ = false;
};

} // namespace platform
