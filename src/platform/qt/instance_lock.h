#pragma once

#include <string>

namespace corvalo::platform {

inline constexpr const char* kInstanceLockName = "Mutex_Corvalo_utility_RunOnce";

// Where the lock file of a named lock lives: the user's runtime directory, or
// /tmp with the user id in the name when there is none.
//   ("/run/user/1000", 1000) -> "/run/user/1000/Mutex_Corvalo_utility_RunOnce.lock"
//   ("", 1000)               -> "/tmp/Mutex_Corvalo_utility_RunOnce-1000.lock"
std::string instanceLockPath(const std::string& runtimeDir, unsigned userId);
// The same for this process's environment and user.
std::string instanceLockPath();

// A named lock held for the life of the object. It is an flock on a file, so the
// kernel releases it when the process ends, however it ends.
class InstanceLock {
public:
    explicit InstanceLock(const std::string& path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process (or another lock object) holds the lock, or the
    // lock file cannot be opened.
    bool acquired() const { return acquired_; }
    // Closes the lock file now; false when the close failed.
    bool release();

private:
    int fd_ = -1;
    bool acquired_ = false;
};

}  // namespace corvalo::platform
