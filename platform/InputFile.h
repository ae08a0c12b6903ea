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
    struct Block {
        std::unique_ptr<uint8_t[]> data;
        uint64_t start = 0;
        uint32_t fill = 0;
        bool valid = false;
        bool Holds(uint64_t position) const {
            return valid && position >= start && position - start < fill;
        }
    };

    uint32_t ReadMemory(uint8_t* out, uint32_t count);
    const Block* BlockHolding(uint64_t position) const;
    const Block* FillBlockFor(uint64_t position);
    bool IsWalkingOn(uint64_t position) const;
    uint32_t ReadDirect(uint8_t* out, uint32_t count);

    // Headers sit at the start and the end of a file: a small block serves most analyses
    // whole and copies little that is never looked at (a 64 KiB first block made a run over a
    // folder a fifth slower). A read that goes on where the last block ended is a walk
    // through the file: it gets the large block. Reads of at least a large block bypass both.
    static constexpr uint32_t FirstBlockSize = 4 * 1024;
    static constexpr uint32_t BlockSize = 64 * 1024;
    int fd_ = -1;
    bool memoryMode_ = false;
    std::string path_;
    uint64_t length_ = 0;
    uint64_t position_ = 0;
    std::vector<uint8_t> memory_;
    // The file's first bytes keep their own block: parsers come back to them after a look at
    // the end of the file (ID3v1 and APE tags) and would otherwise read them twice.
    Block head_;
    Block other_;
};

} // namespace platform
