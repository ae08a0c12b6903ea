#include "viewer/update/UpdateDownloadFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace viewer {
namespace {

std::string TemporaryBase() {
    const char* base = std::getenv("TMPDIR");
    if (base && base[0] == '/')
        return base;
    return "/tmp";
}

} // namespace

UpdateDownloadFile::~UpdateDownloadFile() {
    if (!kept_)
        Discard();
}

bool UpdateDownloadFile::Create(const std::string& fileName) {
    std::string folder = TemporaryBase() + "/Sonoprobe-update-XXXXXX";
    if (!mkdtemp(folder.data())) {
        path_ = folder + "/" + fileName;
        Fail("Cannot create folder " + folder, errno);
        return false;
    }
    folder_ = folder;
    path_ = folder_ + "/" + fileName;
    // 0700 whatever the umask says: the file is a program this process will start.
    fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRWXU);
    if (fd_ < 0 || fchmod(fd_, S_IRWXU) != 0) {
        Fail("Cannot create " + path_, errno);
        return false;
    }
    return true;
}

bool UpdateDownloadFile::Append(const char* data, size_t size) {
    while (size > 0) {
        ssize_t written = write(fd_, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            Fail("Cannot write " + path_, written < 0 ? errno : EIO);
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
        length_ += static_cast<uint64_t>(written);
    }
    return true;
}

bool UpdateDownloadFile::Keep() {
    int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
        Fail("Cannot write " + path_, errno);
        return false;
    }
    kept_ = true;
    return true;
}

void UpdateDownloadFile::Fail(const std::string& what, int error) {
    error_ = what + ": " + std::generic_category().message(error);
}

void UpdateDownloadFile::Discard() {
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    if (folder_.empty())
        return;
    unlink(path_.c_str());
    rmdir(folder_.c_str());
}

} // namespace viewer
