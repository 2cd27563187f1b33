#include "platform/ini_storage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/posix_file.h"
#include "platform/regular_file.h"

namespace corvalo::platform {

namespace {

// A settings file, not a database: anything longer is not read into memory.
constexpr std::size_t kMaxIniBytes = 64 * 1024 * 1024;

bool writeAllAt(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return true;
}

// "/a/corvalo.ini", attempt 2 -> "/a/corvalo.ini.tmp<pid>.2"
std::string tempNameFor(const std::string& target, int attempt) {
    return target + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(attempt);
}

// Gives the unnamed file open at `fd` a fresh name beside `target`, stored in `temp`.
bool nameUnnamedFile(int fd, const std::string& target, std::string& temp) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = tempNameFor(target, attempt);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        if (errno != EEXIST) break;
    }
    temp.clear();
    return false;
}

// A fresh file beside `target`, its name in `temp`; -1 when the folder refuses it.
int createNamedFile(const std::string& target, std::string& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = tempNameFor(target, attempt);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The rename itself must reach the disk too; a folder that refuses fsync still renamed.
void syncFolder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace

IniStorage::ReadResult DiskIniStorage::read(const std::string& path, std::string& bytes) {
    switch (readRegularFile(path, kMaxIniBytes, bytes)) {
        case FileRead::Ok:
            return ReadResult::Ok;
        case FileRead::Missing:
            return ReadResult::Missing;
        case FileRead::Failed:
            break;
    }
    return ReadResult::Failed;
}

bool DiskIniStorage::replace(const std::string& path, std::string_view bytes) {
    const std::optional<std::string> followed = followOwnLinks(path);
    if (!followed) return false;
    const std::string& target = *followed;
    struct stat st {};
    const bool exists = ::lstat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists && (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0)) return false;

    const auto mode = exists ? std::optional<mode_t>(st.st_mode & 07777) : std::nullopt;
    switch (replaceAtomically(target, bytes, mode)) {
        case Outcome::Done:
            syncFolder(folderOf(target));
            return true;
        case Outcome::Refused:
            return exists && writeInPlace(target, bytes);
        case Outcome::Failed:
            break;
    }
    return false;
}

bool DiskIniStorage::refused(DiskStep step) const {
    if (!fault_) return false;
    const int error = fault_(step);
    if (error != 0) errno = error;
    return error != 0;
}

// The bytes go first into a file without a name, which vanishes with the process if
// it is killed meanwhile; only the finished file gets a name, just before the rename.
// Where the file system has no such files (or /proc is missing to name one), a named
// file is written instead.
DiskIniStorage::Outcome DiskIniStorage::replaceAtomically(const std::string& target,
                                                          std::string_view bytes,
                                                          std::optional<mode_t> mode) const {
    const std::string folder = folderOf(target);
    std::string temp;
    int fd = refused(DiskStep::CreateTemp)
                 ? -1
                 : ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
        const bool written = writeTemp(fd, bytes, mode);
        // Named and renamed at once: a kill between the two is all that leaves a file behind.
        const bool named = written && nameUnnamedFile(fd, target, temp);
        ::close(fd);  // after fsync: nothing left for close to report
        if (!written) return Outcome::Failed;
        if (named) return renameOver(temp, target);
    }
    fd = refused(DiskStep::CreateTemp) ? -1 : createNamedFile(target, temp);
    if (fd < 0) return Outcome::Refused;
    bool written = writeTemp(fd, bytes, mode);
    if (::close(fd) != 0) written = false;
    if (!written) {
        ::unlink(temp.c_str());
        return Outcome::Failed;
    }
    return renameOver(temp, target);
}

DiskIniStorage::Outcome DiskIniStorage::renameOver(const std::string& temp,
                                                   const std::string& target) const {
    if (!refused(DiskStep::Rename) && ::rename(temp.c_str(), target.c_str()) == 0) {
        return Outcome::Done;
    }
    ::unlink(temp.c_str());
    return Outcome::Refused;
}

// The whole text, the old file's mode when there was one, and all of it on the disk.
bool DiskIniStorage::writeTemp(int fd, std::string_view bytes, std::optional<mode_t> mode) const {
    if (refused(DiskStep::WriteTemp) || !writeAllAt(fd, bytes, 0)) return false;
    if (mode && ::fchmod(fd, *mode) != 0) return false;
    return !refused(DiskStep::SyncTemp) && ::fsync(fd) == 0;
}

// Never truncates first: once room for the new text is reserved, the write from
// the start can no longer run out of disk, and only then is the old tail cut off.
bool DiskIniStorage::writeInPlace(const std::string& target, std::string_view bytes) const {
    if (refused(DiskStep::OpenInPlace)) return false;
    const int fd = ::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const auto length = static_cast<off_t>(bytes.size());
    // The reservation grows the file with zeros; a failure before the text is in
    // takes them off again.
    const auto restoreLength = [&] {
        struct stat now {};
        if (::fstat(fd, &now) == 0 && now.st_size != st.st_size) {
            (void)!::ftruncate(fd, st.st_size);
        }
    };
    if (ok && length > 0) {
        const int error = refused(DiskStep::Reserve) ? errno : ::posix_fallocate(fd, 0, length);
        if (error != 0) {
            restoreLength();
            ok = false;
        }
    }
    if (ok && (refused(DiskStep::WriteInPlace) || !writeAllAt(fd, bytes, 0))) {
        restoreLength();
        ok = false;
    }
    ok = ok && !refused(DiskStep::Cut) && ::ftruncate(fd, length) == 0;
    ok = ok && !refused(DiskStep::SyncInPlace) && ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace corvalo::platform
