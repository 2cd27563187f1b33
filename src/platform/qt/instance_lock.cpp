#include "platform/qt/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace corvalo::platform {

namespace {

// Retries a system call that was interrupted by a signal.
template <typename Call>
int retried(Call call) {
    int rc = 0;
    do {
        rc = call();
    } while (rc < 0 && errno == EINTR);
    return rc;
}

// Opens `dir` without following a link at its last step; -1 unless it is private.
int openPrivateFolder(const std::string& dir, unsigned userId) {
    const int fd = retried(
        [&] { return ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC); });
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != userId ||
        (st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

bool isPrivateFolder(const std::string& dir, unsigned userId) {
    const int fd = openPrivateFolder(dir, userId);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

std::string instanceLockFolder(const std::string& runtimeDir, const std::string& tmpDir,
                               unsigned userId) {
    if (!runtimeDir.empty() && runtimeDir.front() == '/' && isPrivateFolder(runtimeDir, userId)) {
        return runtimeDir;
    }
    const std::string own = tmpDir + "/corvalo-" + std::to_string(userId);
    // An existing one is only taken after the check below: someone else may have made it.
    if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) return "";
    return isPrivateFolder(own, userId) ? own : "";
}

std::string instanceLockFolder() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    return instanceLockFolder(dir != nullptr ? dir : "", "/tmp",
                              static_cast<unsigned>(::geteuid()));
}

InstanceLock::InstanceLock(const std::string& folder) {
    if (folder.empty()) return;
    const auto userId = static_cast<unsigned>(::geteuid());
    const int dirFd = openPrivateFolder(folder, userId);
    if (dirFd < 0) return;
    // Read-only is enough for flock; no link is followed and a FIFO cannot block the open.
    const std::string name = std::string(kInstanceLockName) + ".lock";
    fd_ = retried([&] {
        return ::openat(dirFd, name.c_str(),
                        O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    });
    ::close(dirFd);
    if (fd_ < 0) return;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != userId) {
        release();
        return;
    }
    if (retried([&] { return ::flock(fd_, LOCK_EX | LOCK_NB); }) == 0) {
        state_ = LockState::Acquired;
        return;
    }
    // Another holder, or a file system that cannot lock at all and so shuts no one out.
    const bool held = errno == EWOULDBLOCK;
    release();
    state_ = held ? LockState::HeldElsewhere : LockState::NoSafePlace;
}

bool InstanceLock::release() {
    if (fd_ < 0) return true;
    const int fd = fd_;
    fd_ = -1;
    if (state_ == LockState::Acquired) state_ = LockState::Released;
    return ::close(fd) == 0;  // closing the last descriptor drops the flock
}

InstanceLock::~InstanceLock() {
    release();
}

}  // namespace corvalo::platform
