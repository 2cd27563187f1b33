#include "platform/qt/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace corvalo::platform {

std::string instanceLockPath(const std::string& runtimeDir, unsigned userId) {
    if (!runtimeDir.empty() && runtimeDir.front() == '/') {
        std::string path = runtimeDir;
        if (path.back() != '/') path += '/';
        return path + kInstanceLockName + ".lock";
    }
    return std::string("/tmp/") + kInstanceLockName + "-" + std::to_string(userId) + ".lock";
}

std::string instanceLockPath() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    return instanceLockPath(dir != nullptr ? dir : "", static_cast<unsigned>(::getuid()));
}

InstanceLock::InstanceLock(const std::string& path) {
    // O_NOFOLLOW: in /tmp another user could plant a link to a file of ours.
    do {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) return;
    int rc = 0;
    do {
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    acquired_ = rc == 0;
}

bool InstanceLock::release() {
    if (fd_ < 0) return true;
    const int fd = fd_;
    fd_ = -1;
    acquired_ = false;
    return ::close(fd) == 0;  // closing the last descriptor drops the flock
}

InstanceLock::~InstanceLock() { release(); }

}  // namespace corvalo::platform
