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
    blockValid_ = false;
    return true;
}

void InputFile::OpenMemory(std::vector<uint8_t> content, std::string name) {
    Close();
    memoryMode_ = true;
    path_ = std::move(name);
    block_ = std::move(content);
    length_ = block_.size();
    blockStart_ = 0;
    blockFill_ = static_cast<uint32_t>(std::min<uint64_t>(block_.size(), UINT32_MAX));
    blockValid_ = true;
    position_ = 0;
}

void InputFile::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    memoryMode_ = false;
    blockValid_ = false;
    block_.clear();
    length_ = position_ = 0;
}

bool InputFile::FillBlock(uint64_t blockStart) {
    block_.resize(BlockSize);
    uint32_t filled = 0;
    // The length is known, so stop at the end instead of asking for a zero-byte read.
    const uint64_t wanted =
        std::min<uint64_t>(BlockSize, length_ > blockStart ? length_ - blockStart : 0);
    while (filled < wanted) {
        ssize_t got = ::pread(fd_, block_.data() + filled, wanted - filled,
                              static_cast<off_t>(blockStart + filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(errno, path_, "Read");
        }
        if (got == 0)
            break;
        filled += static_cast<uint32_t>(got);
    }
    blockStart_ = blockStart;
    blockFill_ = filled;
    blockValid_ = true;
    return filled > 0;
}

uint32_t InputFile::Read(void* buffer, uint32_t count) {
    if (!IsOpen())
        throw FileError(EBADF, path_, "Read");
    auto* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < count && position_ < length_) {
        bool inBlock =
            blockValid_ && position_ >= blockStart_ && position_ < blockStart_ + blockFill_;
        if (!inBlock) {
            if (memoryMode_)
                break;
            // Large reads bypass the buffer; small ones refill it around the position.
            uint32_t remaining =
                static_cast<uint32_t>(std::min<uint64_t>(count - done, length_ - position_));
            if (remaining >= BlockSize) {
                ssize_t got = ::pread(fd_, out + done, remaining, static_cast<off_t>(position_));
                if (got < 0) {
                    if (errno == EINTR)
                        continue;
                    throw FileError(errno, path_, "Read");
                }
                if (got == 0)
                    break;
                done += static_cast<uint32_t>(got);
                position_ += static_cast<uint64_t>(got);
                continue;
            }
            if (!FillBlock(position_))
                break;
        }
        uint64_t offset = position_ - blockStart_;
        uint32_t available = static_cast<uint32_t>(blockFill_ - offset);
        uint32_t take = std::min(available, count - done);
        std::memcpy(out + done, block_.data() + offset, take);
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
