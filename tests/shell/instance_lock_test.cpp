#include "platform/qt/instance_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

#include "support/temp_dir.h"

namespace corvalo::platform {
namespace {

TEST(InstanceLock, PathInRuntimeDirOrTmp) {
    EXPECT_EQ(instanceLockPath("/run/user/1000", 1000),
              "/run/user/1000/Mutex_Corvalo_utility_RunOnce.lock");
    EXPECT_EQ(instanceLockPath("/run/user/1000/", 1000),
              "/run/user/1000/Mutex_Corvalo_utility_RunOnce.lock");
    EXPECT_EQ(instanceLockPath("", 1000), "/tmp/Mutex_Corvalo_utility_RunOnce-1000.lock");
    EXPECT_EQ(instanceLockPath("relative", 7), "/tmp/Mutex_Corvalo_utility_RunOnce-7.lock");
}

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstReleases) {
    testing::TempDir dir;
    const std::string path = (dir / "lock").string();
    auto first = std::make_unique<InstanceLock>(path);
    ASSERT_TRUE(first->acquired());
    EXPECT_FALSE(InstanceLock(path).acquired());
    EXPECT_TRUE(first->release());
    EXPECT_TRUE(InstanceLock(path).acquired());
}

TEST(InstanceLock, KernelReleasesItWhenTheHolderIsKilled) {
    testing::TempDir dir;
    const std::string path = (dir / "lock").string();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock held(path);
        const char ok = held.acquired() ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        pause();  // killed while holding the lock, no clean-up runs
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    EXPECT_FALSE(InstanceLock(path).acquired());
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(InstanceLock(path).acquired());
    close(ready[0]);
    close(ready[1]);
}

TEST(InstanceLock, UnopenableFileIsNotAcquired) {
    EXPECT_FALSE(InstanceLock("/nonexistent-dir/lock").acquired());
}

}  // namespace
}  // namespace corvalo::platform
