#include "platform/AtomicTextFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Closes a descriptor at the end of a scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A symbolic link is followed, so that replacing the file keeps the link.
std::string ResolvedTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string UniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937 random{std::random_device{}()};
    return std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(random());
}

bool WriteAllBytes(int fd, const std::string& content) {
    size_t written = 0;
    while (written < content.size()) {
        ssize_t done = ::write(fd, content.data() + written, content.size() - written);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        written += static_cast<size_t>(done);
    }
    return true;
}

bool LockExclusive(int fd) {
    while (::flock(fd, LOCK_EX) != 0)
        if (errno != EINTR)
            return false;
    return true;
}

} // namespace

bool AtomicTextFile::ReadAll(int fd, std::string& content) {
    content.clear();
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        content.append(chunk, static_cast<size_t>(got));
    }
}

std::optional<std::string> AtomicTextFile::Read(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    std::string content;
    if (!ReadAll(fd.get(), content))
        return std::nullopt;
    return content;
}

bool AtomicTextFile::CreateFolders(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    std::string parent = FolderOf(folder);
    if (parent != folder && !CreateFolders(parent))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool AtomicTextFile::WriteReplacement(const std::string& path, const std::string& content,
                                      mode_t mode) {
    std::string folder = FolderOf(path);
    std::string temporary = folder + "/." + NameOf(path) + "." + UniqueSuffix() + ".tmp";
    FileDescriptor fd(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
    if (fd.get() < 0)
        return false;
    struct stat old {};
    bool ok = (::stat(path.c_str(), &old) != 0 || ::fchmod(fd.get(), old.st_mode & 07777) == 0) &&
              WriteAllBytes(fd.get(), content) && ::fsync(fd.get()) == 0 && fd.Close() &&
              ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return true;
}

bool AtomicTextFile::Update(const std::string& path, const Change& change, mode_t newFileMode) {
    std::string target = ResolvedTarget(path);
    std::string folder = FolderOf(target);
    if (!CreateFolders(folder))
        return false;
    std::string lockPath = folder + "/." + NameOf(target) + ".lock";
    FileDescriptor lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (lock.get() < 0 || !LockExclusive(lock.get()))
        return false;

    std::string current;
    bool exists = false;
    FileDescriptor fd(::open(target.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() >= 0) {
        struct stat info {};
        if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || !ReadAll(fd.get(), current))
            return false;
        exists = true;
    } else if (errno != ENOENT) {
        return false;
    }
    fd.Close();

    std::optional<std::string> replacement = change(exists ? &current : nullptr);
    if (!replacement || (exists && *replacement == current))
        return true;
    return WriteReplacement(target, *replacement, newFileMode);
}

bool AtomicTextFile::KeepCopy(const std::string& path, const std::string& copyPath) {
    ::unlink(copyPath.c_str());
    return ::link(path.c_str(), copyPath.c_str()) == 0;
}

} // namespace platform
