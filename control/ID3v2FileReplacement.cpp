#include "control/ID3v2FileReplacement.h"

#include "platform/FileError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace control {
namespace {

// A symbolic link is followed, so that the replacement keeps the link and replaces its file.
std::string ResolvedTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void CloseQuietly(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Makes a finished rename survive a crash of the machine; the rename has happened either way.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

ID3v2FileReplacement::ID3v2FileReplacement(const std::string& path)
    : target_(ResolvedTarget(path)) {}

ID3v2FileReplacement::~ID3v2FileReplacement() {
    RemoveTemporary();
    CloseQuietly(targetFd_);
}

void ID3v2FileReplacement::Fail(const std::string& operation, const std::string& path) const {
    throw platform::FileError(errno, path, operation);
}

void ID3v2FileReplacement::RemoveTemporary() {
    CloseQuietly(temporaryFd_);
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool ID3v2FileReplacement::OpenTarget() {
    targetFd_ = ::open(target_.c_str(), O_RDONLY | O_CLOEXEC);
    if (targetFd_ < 0)
        return false;
    struct stat opened {};
    if (::fstat(targetFd_, &opened) != 0 || !S_ISREG(opened.st_mode))
        return false;
    // Read-only as the user sees it: no write bit at all (which even root respects here), or
    // no write access for this user.
    if ((opened.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
        ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    if (::flock(targetFd_, LOCK_EX | LOCK_NB) != 0)
        return false;
    // Another writer may have replaced the file between our open and our lock.
    struct stat current {};
    if (::stat(target_.c_str(), &current) != 0 || !SameFile(opened, current))
        return false;
    targetLength_ = static_cast<uint64_t>(opened.st_size);
    targetMode_ = opened.st_mode & 07777;
    targetOwner_ = opened.st_uid;
    targetGroup_ = opened.st_gid;
    return true;
}

bool ID3v2FileReplacement::CreateTemporary() {
    std::string name = FolderOf(target_) + "/." + NameOf(target_) + ".XXXXXX";
    temporaryFd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (temporaryFd_ < 0)
        return false;
    temporary_ = name;
    if (::flock(temporaryFd_, LOCK_EX | LOCK_NB) != 0) {
        RemoveTemporary();
        return false;
    }
    return true;
}

size_t ID3v2FileReplacement::ReadTarget(uint64_t offset, void* buffer, size_t count) const {
    size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(targetFd_, static_cast<char*>(buffer) + done, count - done,
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            Fail("Reading", target_);
        if (got == 0)
            break;
        done += static_cast<size_t>(got);
    }
    return done;
}

void ID3v2FileReplacement::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done = ::write(temporaryFd_, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            Fail("Writing", temporary_);
        bytes.remove_prefix(static_cast<size_t>(done));
    }
}

uint64_t ID3v2FileReplacement::WrittenLength() const {
    struct stat info {};
    if (::fstat(temporaryFd_, &info) != 0)
        Fail("Measuring", temporary_);
    return static_cast<uint64_t>(info.st_size);
}

void ID3v2FileReplacement::Finish() {
    // Only root can hand a file to another owner; everyone else keeps the target's group
    // where the system allows it and its own ownership otherwise.
    if (::fchown(temporaryFd_, targetOwner_, targetGroup_) != 0)
        static_cast<void>(::fchown(temporaryFd_, static_cast<uid_t>(-1), targetGroup_) == 0);
    if (::fchmod(temporaryFd_, targetMode_) != 0)
        Fail("Setting the permissions of", temporary_);
    if (::fsync(temporaryFd_) != 0)
        Fail("Syncing", temporary_);
    const int fd = temporaryFd_;
    temporaryFd_ = -1;
    if (::close(fd) != 0)
        Fail("Closing", temporary_);
}

bool ID3v2FileReplacement::Replace() {
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        RemoveTemporary();
        return false;
    }
    temporary_.clear();
    SyncFolder(FolderOf(target_));
    return true;
}

} // namespace control
