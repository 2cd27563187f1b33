// The single-instance lock in one process; starts racing for it are in tests/faults.
#include "platform/qt/instance_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace corvalo::platform {
namespace {

namespace fs = std::filesystem;
using testing::nobodyUid;
using testing::nogroupGid;

unsigned me() {
    return static_cast<unsigned>(::geteuid());
}

std::string lockFileIn(const fs::path& folder) {
    return (folder / "Mutex_Corvalo_utility_RunOnce.lock").string();
}

// Makes `dir` with exactly `mode`, past the umask.
std::string folderAt(const fs::path& dir, mode_t mode) {
    EXPECT_EQ(::mkdir(dir.c_str(), mode), 0) << dir;
    EXPECT_EQ(::chmod(dir.c_str(), mode), 0) << dir;
    return dir.string();
}

std::string linkTo(const fs::path& target, const fs::path& link) {
    fs::create_symlink(target, link);
    return link.string();
}

// A shared folder like /tmp: everybody may create entries, only their owner removes them.
struct SharedTmp {
    testing::TempDir top;
    fs::path tmp = folderAt(top / "tmp", 01777);
    fs::path ownFolder = tmp / ("corvalo-" + std::to_string(me()));

    SharedTmp() { ::chmod(top.path().c_str(), 0755); }  // so that another user reaches tmp
};

// Runs `act` as the user nobody in a child process; true when it succeeded.
bool asNobody(const std::function<bool()>& act) {
    return testing::runInChild(
               [&] { return testing::becomeNobody() && act() ? std::string() : "refused"; }) == "";
}

// Opens `file` and holds an flock on it until closed, as a running copy holds its lock.
int holdLock(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
    ::close(fd);
    return -1;
}

#define SKIP_UNLESS_ROOT() \
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user"

TEST(InstanceLockFolder, PrivateRuntimeFolderElseOwnFolderInTmp) {
    using Top = const fs::path&;
    const struct {
        const char* name;
        std::function<std::string(Top)> runtime;  // sets up, returns the value
        bool runtimeChosen;
    } rows[] = {
        {"private runtime folder", [](Top top) { return folderAt(top / "run", 0700); }, true},
        {"runtime folder open to others", [](Top top) { return folderAt(top / "run", 0755); },
         false},
        {"runtime folder is a link to a private one",
         [](Top top) { return linkTo(folderAt(top / "run", 0700), top / "link"); }, false},
        {"runtime folder missing", [](Top top) { return (top / "gone").string(); }, false},
        {"relative runtime folder", [](Top) { return std::string("run"); }, false},
        {"no runtime folder", [](Top) { return std::string(); }, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SharedTmp t;
        const std::string runtime = row.runtime(t.top.path());
        const std::string folder = instanceLockFolder(runtime, t.tmp.string(), me());
        EXPECT_EQ(folder, row.runtimeChosen ? runtime : t.ownFolder.string());
        struct stat st {};
        ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 07777, 0700u);
        EXPECT_EQ(InstanceLock(folder).state(), LockState::Acquired);
    }
}

TEST(InstanceLockFolder, OwnFolderInTmpThatIsNotPrivateIsRefused) {
    const struct {
        const char* name;
        std::function<void(const SharedTmp&)> plant;
    } rows[] = {
        {"open to others", [](const SharedTmp& t) { folderAt(t.ownFolder, 0755); }},
        {"a link to a private folder",
         [](const SharedTmp& t) { linkTo(folderAt(t.top / "elsewhere", 0700), t.ownFolder); }},
        {"a plain file", [](const SharedTmp& t) { testing::writeFile(t.ownFolder, ""); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SharedTmp t;
        row.plant(t);
        EXPECT_EQ(instanceLockFolder("", t.tmp.string(), me()), "");
        EXPECT_FALSE(fs::exists(lockFileIn(t.top / "elsewhere")));
    }
}

// Another user who plants things in /tmp first, or holds a lock there, must not keep
// the program from starting: it either gets its lock or starts without one.
TEST(InstanceLockFolder, AnotherUserCannotKeepTheProgramFromStarting) {
    SKIP_UNLESS_ROOT();
    const auto makeOpenFolder = [](const fs::path& dir) {
        return ::mkdir(dir.c_str(), 0777) == 0 && ::chmod(dir.c_str(), 0777) == 0;
    };
    const auto makeLink = [](const fs::path& link) { return ::symlink("/", link.c_str()) == 0; };
    const std::string predictable =
        "Mutex_Corvalo_utility_RunOnce-" + std::to_string(me()) + ".lock";
    const struct {
        const char* name;
        std::function<bool(const fs::path& own)> plant;      // as nobody, before the lock file
        std::function<fs::path(const SharedTmp&)> lockFile;  // made and held as nobody
        bool sharedRuntime;  // the runtime folder is the shared tmp itself
        LockState expected;
    } rows[] = {
        {"predictable lock file held, no runtime folder",
         {},
         [&](const SharedTmp& t) { return t.tmp / predictable; },
         false,
         LockState::Acquired},
        {"lock file held in a shared runtime folder",
         {},
         [](const SharedTmp& t) { return lockFileIn(t.tmp); },
         true,
         LockState::Acquired},
        {"own folder made first, its lock file held", makeOpenFolder,
         [](const SharedTmp& t) { return lockFileIn(t.ownFolder); }, false,
         LockState::NoSafePlace},
        {"link of the own folder's name made first", makeLink, {}, false, LockState::NoSafePlace},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SharedTmp t;
        if (row.plant) {
            ASSERT_TRUE(asNobody([&] { return row.plant(t.ownFolder); }));
        }
        int held = -1;
        if (row.lockFile) {
            const fs::path file = row.lockFile(t);
            ASSERT_TRUE(asNobody([&] {
                const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
                return fd >= 0 && ::close(fd) == 0;
            }));
            held = holdLock(file);
            ASSERT_GE(held, 0);
        }
        const std::string runtime = row.sharedRuntime ? t.tmp.string() : "";
        const std::string folder = instanceLockFolder(runtime, t.tmp.string(), me());
        EXPECT_EQ(InstanceLock(folder).state(), row.expected);
        if (held >= 0) ::close(held);
    }
}

TEST(InstanceLockFolder, RuntimeFolderOfAnotherUserIsPassedOver) {
    SKIP_UNLESS_ROOT();
    SharedTmp t;
    const std::string runtime = folderAt(t.top / "run", 0700);
    ASSERT_EQ(::chown(runtime.c_str(), nobodyUid(), nogroupGid()), 0);
    EXPECT_EQ(instanceLockFolder(runtime, t.tmp.string(), me()), t.ownFolder.string());
}

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstReleases) {
    testing::TempDir dir;
    InstanceLock first(dir.path().string());
    ASSERT_EQ(first.state(), LockState::Acquired);
    EXPECT_EQ(InstanceLock(dir.path().string()).state(), LockState::HeldElsewhere);
    EXPECT_TRUE(first.release());
    EXPECT_EQ(first.state(), LockState::Released);
    EXPECT_TRUE(InstanceLock(dir.path().string()).acquired());
}

TEST(InstanceLock, OnlyARegularFileOfTheUserInAPrivateFolderIsLocked) {
    using Top = const fs::path&;
    const struct {
        const char* name;
        std::function<std::string(Top)> setUp;  // returns the folder
    } rows[] = {
        {"no folder", [](Top) { return std::string(); }},
        {"missing folder", [](Top top) { return (top / "gone").string(); }},
        {"folder open to others", [](Top top) { return folderAt(top / "open", 0770); }},
        {"lock file is a link",
         [](Top top) {
             testing::writeFile(top / "target", "");
             linkTo(top / "target", lockFileIn(top));
             return top.string();
         }},
        {"lock file is a dangling link",
         [](Top top) {
             linkTo(top / "created", lockFileIn(top));
             return top.string();
         }},
        {"lock file is a FIFO",
         [](Top top) {
             ::mkfifo(lockFileIn(top).c_str(), 0600);
             return top.string();
         }},
        {"lock file is a folder",
         [](Top top) {
             folderAt(lockFileIn(top), 0700);
             return top.string();
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        testing::TempDir dir;
        const std::string folder = row.setUp(dir.path());
        EXPECT_EQ(InstanceLock(folder).state(), LockState::NoSafePlace);
        EXPECT_FALSE(fs::exists(dir / "created"));  // nothing made through a link
    }
}

TEST(InstanceLock, LockFileOfAnotherUserIsNotLocked) {
    SKIP_UNLESS_ROOT();
    testing::TempDir dir;
    testing::writeFile(lockFileIn(dir.path()), "");
    ASSERT_EQ(::chown(lockFileIn(dir.path()).c_str(), nobodyUid(), nogroupGid()), 0);
    EXPECT_EQ(InstanceLock(dir.path().string()).state(), LockState::NoSafePlace);
}

// The lock needs no write access to its file: a read-only one left behind still works.
TEST(InstanceLock, ReadOnlyLockFileIsLocked) {
    testing::TempDir dir;
    const std::string folder = folderAt(dir / "own", 0700);
    testing::writeFile(lockFileIn(folder), "");
    ASSERT_EQ(::chmod(lockFileIn(folder).c_str(), 0400), 0);
    if (::geteuid() != 0) {
        EXPECT_TRUE(InstanceLock(folder).acquired());
        return;
    }
    // Root may write anything: the lock is taken as nobody, whose file it then is.
    ::chmod(dir.path().c_str(), 0755);
    ASSERT_EQ(::chown(folder.c_str(), nobodyUid(), nogroupGid()), 0);
    ASSERT_EQ(::chown(lockFileIn(folder).c_str(), nobodyUid(), nogroupGid()), 0);
    EXPECT_TRUE(asNobody([&] { return InstanceLock(folder).acquired(); }));
}

}  // namespace
}  // namespace corvalo::platform
