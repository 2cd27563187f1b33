#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/error.h"
#include "platform/posix_file.h"

namespace corvalo::platform {

namespace {

constexpr int kMaxNameAttempts = 100;

// Removes the file of that name unless the write got as far as renaming it.
class TempName {
  public:
    TempName() = default;
    ~TempName() {
        if (!name_.empty()) ::unlink(name_.c_str());
    }
    TempName(const TempName&) = delete;
    TempName& operator=(const TempName&) = delete;
    std::string& name() { return name_; }
    void release() { name_.clear(); }

  private:
    std::string name_;
};

// "/a/tape.txt", attempt 2 -> "/a/tape.txt.tmp<pid>.2"
std::string tempNameFor(const std::string& target, int attempt) {
    return target + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(attempt);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A fresh file named beside `target`; -1 when the folder refuses one.
int createNamedTemp(const std::string& target, TempName& temp) {
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        temp.name() = tempNameFor(target, attempt);
        const int fd = ::open(temp.name().c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
    }
    temp.release();
    return -1;
}

// Gives the unnamed file open at `fd` a fresh name beside `target`.
bool nameUnnamedTemp(int fd, const std::string& target, TempName& temp) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        const std::string name = tempNameFor(target, attempt);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temp.name() = name;
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

// No mode to keep: a new file takes the default permissions.
constexpr mode_t kNoMode = static_cast<mode_t>(-1);

// The whole text, the old file's mode when there was one, and all of it on the disk.
bool fillTemp(int fd, std::string_view bytes, mode_t mode) {
    if (!writeAll(fd, bytes)) return false;
    if (mode != kNoMode && ::fchmod(fd, mode) != 0) return false;
    return ::fsync(fd) == 0;
}

// The finished new file beside `target`, its name in `temp`. It is written without a
// name, so that a process killed meanwhile leaves nothing behind, and named only when
// complete; where the file system has no unnamed files (or /proc is missing to name
// one), a named file is written instead.
bool writeTemp(const std::string& target, std::string_view bytes, mode_t mode, TempName& temp) {
    {
        FileDescriptor unnamed(
            ::open(folderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
        if (unnamed.get() >= 0) {
            if (!fillTemp(unnamed.get(), bytes, mode)) return false;
            if (nameUnnamedTemp(unnamed.get(), target, temp)) return unnamed.close();
        }
    }
    FileDescriptor named(createNamedTemp(target, temp));
    return named.get() >= 0 && fillTemp(named.get(), bytes, mode) && named.close();
}

// The rename must reach the disk too. Some file systems refuse fsync on a folder; the
// new file is in place by then, so that refusal is no failure of the write.
void syncFolder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

bool replace(const std::string& path, std::string_view bytes) {
    const std::optional<std::string> target = followOwnLinks(path);
    if (!target) return false;
    struct stat old {};
    const bool exists = ::lstat(target->c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists && (!S_ISREG(old.st_mode) || ::access(target->c_str(), W_OK) != 0)) return false;

    const mode_t mode = exists ? (old.st_mode & 07777) : kNoMode;
    TempName temp;
    if (!writeTemp(*target, bytes, mode, temp)) return false;
    if (::rename(temp.name().c_str(), target->c_str()) != 0) return false;
    temp.release();
    syncFolder(folderOf(*target));
    return true;
}

}  // namespace

void writeTextFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty() || !replace(path, bytes)) throw Error("Unable to write to " + path);
}

}  // namespace corvalo::platform
