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

// The runtime folder when it is private, else the user's own folder in tmp when that
// is private or missing ("" when it is not private: no lock then).
TEST(InstanceLockFolder, PrivateRuntimeFolderElseOwnFolderInTmp) {
    using Top = const fs::path&;
    enum class Chosen { Runtime, OwnFolder, None };
    const struct {
        const char* name;
        std::function<std::string(Top)> runtime;  // sets up, returns the value
        std::function<void(const SharedTmp&)> plant;
        Chosen chosen;
    } rows[] = {
        {"private runtime folder",
         [](Top top) { return folderAt(top / "run", 0700); },
         {},
         Chosen::Runtime},
        {"runtime folder open to others",
         [](Top top) { return folderAt(top / "run", 0755); },
         {},
         Chosen::OwnFolder},
        {"runtime folder is a link to a private one",
         [](Top top) { return linkTo(folderAt(top / "run", 0700), top / "link"); },
         {},
         Chosen::OwnFolder},
        {"runtime folder missing",
         [](Top top) { return (top / "gone").string(); },
         {},
         Chosen::OwnFolder},
        {"relative runtime folder", [](Top) { return std::string("run"); }, {}, Chosen::OwnFolder},
        {"own folder open to others", [](Top) { return std::string(); },
         [](const SharedTmp& t) { folderAt(t.ownFolder, 0755); }, Chosen::None},
        {"own folder a link to a private one", [](Top) { return std::string(); },
         [](const SharedTmp& t) { linkTo(folderAt(t.top / "elsewhere", 0700), t.ownFolder); },
         Chosen::None},
        {"own folder a plain file", [](Top) { return std::string(); },
         [](const SharedTmp& t) { testing::writeFile(t.ownFolder, ""); }, Chosen::None},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SharedTmp t;
        const std::string runtime = row.runtime(t.top.path());
        if (row.plant) row.plant(t);
        const std::string folder = instanceLockFolder(runtime, t.tmp.string(), me());
        EXPECT_FALSE(fs::exists(lockFileIn(t.top / "elsewhere")));
        if (row.chosen == Chosen::None) {
            EXPECT_EQ(folder, "");
            continue;
        }
        EXPECT_EQ(folder, row.chosen == Chosen::Runtime ? runtime : t.ownFolder.string());
        struct stat st {};
        ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 07777, 0700u);
        EXPECT_EQ(InstanceLock(folder).state(), LockState::Acquired);
    }
}

// Another user who holds a lock file in /tmp first must not keep the program from
// starting: its own lock lives in its own folder.
TEST(InstanceLockFolder, AnotherUsersLockInTmpIsNotOurs) {
    SKIP_UNLESS_ROOT();
    const std::string predictable =
        "Mutex_Corvalo_utility_RunOnce-" + std::to_string(me()) + ".lock";
    for (bool sharedRuntime : {false, true}) {
        SCOPED_TRACE(sharedRuntime ? "held in a shared runtime folder" : "predictable name held");
        SharedTmp t;
        const fs::path file = sharedRuntime ? fs::path(lockFileIn(t.tmp)) : t.tmp / predictable;
        ASSERT_TRUE(asNobody([&] {
            const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            return fd >= 0 && ::close(fd) == 0;
        }));
        const int held = holdLock(file);
        ASSERT_GE(held, 0);
        const std::string runtime = sharedRuntime ? t.tmp.string() : "";
        EXPECT_TRUE(InstanceLock(instanceLockFolder(runtime, t.tmp.string(), me())).acquired());
        ::close(held);
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
    using Lock = const std::string&;
    const struct {
        const char* name;
        const char* folder;        // in the test's private folder; nullptr: none given
        void (*plant)(Lock file);  // what lies at the lock file's name
        bool needsRoot = false;
    } rows[] = {
        {"no folder", nullptr, [](Lock) {}},
        {"missing folder", "gone", [](Lock) {}},
        {"folder open to others", "open", [](Lock) {}},
        {"lock file is a link", ".",
         [](Lock f) { testing::writeFile(f + ".target", ""), linkTo(f + ".target", f); }},
        {"lock file is a dangling link", ".",
         [](Lock f) { linkTo(fs::path(f).parent_path() / "created", f); }},
        {"lock file is a FIFO", ".", [](Lock f) { ::mkfifo(f.c_str(), 0600); }},
        {"lock file is a folder", ".", [](Lock f) { folderAt(f, 0700); }},
        {"lock file of another user", ".",
         [](Lock f) {
             testing::writeFile(f, "");
             EXPECT_EQ(::chown(f.c_str(), nobodyUid(), nogroupGid()), 0);
         },
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.needsRoot && ::geteuid() != 0) continue;  // only root can give a file away
        testing::TempDir dir;
        folderAt(dir / "open", 0770);
        const std::string folder = row.folder ? (dir / row.folder).string() : "";
        row.plant(lockFileIn(dir.path()));
        EXPECT_EQ(InstanceLock(folder).state(), LockState::NoSafePlace);
        EXPECT_FALSE(fs::exists(dir / "created"));  // nothing made through a link
    }
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
