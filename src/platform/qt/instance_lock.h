#pragma once

#include <string>

namespace corvalo::platform {

inline constexpr const char* kInstanceLockName = "Mutex_Corvalo_utility_RunOnce";

// Whether `dir` is a folder only `userId` can reach: a real folder (not a link),
// owned by that user, with no access for group or others.
bool isPrivateFolder(const std::string& dir, unsigned userId);

// The folder for the lock file: the user's runtime folder when it is private, else
// tmpDir/corvalo-<uid>, made 0700 when missing; "" when neither is private.
//   ("/run/user/1000", "/tmp", 1000) -> "/run/user/1000"
//   ("", "/tmp", 1000)               -> "/tmp/corvalo-1000"
std::string instanceLockFolder(const std::string& runtimeDir, const std::string& tmpDir,
                               unsigned userId);
// The same for this process's environment and user, in /tmp.
std::string instanceLockFolder();

enum class LockState {
    Acquired,
    HeldElsewhere,  // another process (or another lock object) holds it
    NoSafePlace,    // the folder or the lock file is not the user's own: no lock taken
    Released,       // was acquired until release()
};

// A named lock held for the life of the object: an flock on a file in a folder
// private to the user, so the kernel releases it when the process ends, however it ends.
class InstanceLock {
  public:
    // Locks folder/kInstanceLockName.lock; "" as the folder gives NoSafePlace.
    explicit InstanceLock(const std::string& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    LockState state() const { return state_; }
    bool acquired() const { return state_ == LockState::Acquired; }
    // Closes the lock file now; false when the close failed.
    bool release();

  private:
    int fd_ = -1;
    LockState state_ = LockState::NoSafePlace;
};

}  // namespace corvalo::platform
