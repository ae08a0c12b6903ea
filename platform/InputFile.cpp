#include "platform/InputFile.h"

#include "platform/FileError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

InputFile::~InputFile() {
    Close();
}

bool InputFile::Open(const std::string& path) {
    Close();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode) || ::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    path_ = path;
    length_ = static_cast<uint64_t>(info.st_size);
    position_ = 0;
    return true;
}

void InputFile::OpenMemory(std::vector<uint8_t> content, std::string name) {
    Close();
    memoryMode_ = true;
    path_ = std::move(name);
    memory_ = std::move(content);
    length_ = memory_.size();
    position_ = 0;
}

void InputFile::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    memoryMode_ = false;
    head_.valid = other_.valid = false;
    memory_.clear();
    length_ = position_ = 0;
}

const InputFile::Block* InputFile::BlockHolding(uint64_t position) const {
    if (head_.Holds(position))
        return &head_;
    return other_.Holds(position) ? &other_ : nullptr;
}

bool InputFile::IsWalkingOn(uint64_t position) const {
    return (other_.valid && position == other_.start + other_.fill) ||
           (head_.valid && position == head_.start + head_.fill);
}

// Fills the head block for the file's first bytes; otherwise the other block: a large one for a
// walk, else a small one, moved back to end with the file when the position lies in its last
// small block, so that the tags at the end come in one read.
const InputFile::Block* InputFile::FillBlockFor(uint64_t position) {
    const bool head = position < FirstBlockSize;
    Block& block = head ? head_ : other_;
    uint64_t start = head ? 0 : position;
    uint32_t size = FirstBlockSize;
    if (!head && IsWalkingOn(position))
        size = BlockSize;
    else if (!head && length_ - position < FirstBlockSize)
        start = length_ - FirstBlockSize;
    if (!block.data)
        block.data = std::make_unique_for_overwrite<uint8_t[]>(BlockSize);
    // The length is known, so stop at the end instead of asking for a zero-byte read.
    const uint64_t wanted = std::min<uint64_t>(size, length_ - start);
    uint32_t filled = 0;
    while (filled < wanted) {
        ssize_t got = ::pread(fd_, block.data.get() + filled, wanted - filled,
                              static_cast<off_t>(start + filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(errno, path_, "Read");
        }
        if (got == 0)
            break;
        filled += static_cast<uint32_t>(got);
    }
    block.start = start;
    block.fill = filled;
    block.valid = true;
    return block.Holds(position) ? &block : nullptr;
}

uint32_t InputFile::ReadMemory(uint8_t* out, uint32_t count) {
    if (count == 0 || position_ >= length_)
        return 0;
    const uint32_t take = static_cast<uint32_t>(std::min<uint64_t>(count, length_ - position_));
    std::memcpy(out, memory_.data() + position_, take);
    position_ += take;
    return take;
}

// Straight into the caller's buffer; 0 at the end of the file.
uint32_t InputFile::ReadDirect(uint8_t* out, uint32_t count) {
    for (;;) {
        ssize_t got = ::pread(fd_, out, count, static_cast<off_t>(position_));
        if (got >= 0) {
            position_ += static_cast<uint64_t>(got);
            return static_cast<uint32_t>(got);
        }
        if (errno != EINTR)
            throw FileError(errno, path_, "Read");
    }
}

uint32_t InputFile::Read(void* buffer, uint32_t count) {
    if (!IsOpen())
        throw FileError(EBADF, path_, "Read");
    auto* out = static_cast<uint8_t*>(buffer);
    if (memoryMode_)
        return ReadMemory(out, count);
    uint32_t done = 0;
    while (done < count && position_ < length_) {
        const Block* block = BlockHolding(position_);
        if (!block) {
            const uint32_t remaining =
                static_cast<uint32_t>(std::min<uint64_t>(count - done, length_ - position_));
            if (remaining >= BlockSize) {
                const uint32_t got = ReadDirect(out + done, remaining);
                if (got == 0)
                    break;
                done += got;
                continue;
            }
            block = FillBlockFor(position_);
            if (!block)
                break;
        }
        const uint64_t offset = position_ - block->start;
        const uint32_t take = std::min(static_cast<uint32_t>(block->fill - offset), count - done);
        std::memcpy(out + done, block->data.get() + offset, take);
        done += take;
        position_ += take;
    }
    return done;
}

uint64_t InputFile::Seek(int64_t offset, Origin origin) {
    if (!IsOpen())
        throw FileError(EBADF, path_, "Seek");
    int64_t base = 0;
    if (origin == Origin::Current)
        base = static_cast<int64_t>(position_);
    else if (origin == Origin::End)
        base = static_cast<int64_t>(length_);
    int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0)
        throw FileError(EINVAL, path_, "Seek");
    position_ = static_cast<uint64_t>(target);
    return position_;
}

} // namespace platform
