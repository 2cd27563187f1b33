// The single-instance lock in one process; starts racing for it are in tests/faults.
#include "platform/qt/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace corvalo::platform {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

const unsigned kMe = static_cast<unsigned>(::geteuid());

// Makes `dir` with exactly `mode`, past the umask.
std::string folderAt(const fs::path& dir, mode_t mode) {
    EXPECT_TRUE(::mkdir(dir.c_str(), mode) == 0 && ::chmod(dir.c_str(), mode) == 0) << dir;
    return dir.string();
}

std::string linkTo(const fs::path& target, const fs::path& link) {
    fs::create_symlink(target, link);
    return link.string();
}

// Gives `path` to the user nobody (only root can).
std::string toNobody(const std::string& path) {
    EXPECT_EQ(::chown(path.c_str(), testing::nobodyUid(), testing::nogroupGid()), 0) << path;
    return path;
}

// A shared folder like /tmp: everybody may create entries, only their owner removes them.
struct SharedTmp {
    TempDir top;
    fs::path tmp = folderAt(top / "tmp", 01777);
    fs::path own = tmp / ("corvalo-" + std::to_string(kMe));
};

// Rows that give a folder or file to another user run only as root, who alone can.
bool needsRoot(const std::string& row) {
    return row.find("another user") != std::string::npos;
}

// The runtime folder when it is private, else the user's own folder in tmp when that
// is private or missing ("" when it is not private: no lock then); in the folder
// chosen the lock works.
TEST(InstanceLockFolder, PrivateRuntimeFolderElseOwnFolderInTmp) {
    using Tmp = const SharedTmp&;
    // name, what sets the folders up and gives the runtime folder's value, the choice
    const std::tuple<const char*, std::string (*)(Tmp), std::string> rows[] = {
        {"private runtime folder", [](Tmp t) { return folderAt(t.top / "run", 0700); }, "runtime"},
        {"runtime folder open to others", [](Tmp t) { return folderAt(t.top / "run", 0755); },
         "own"},
        {"runtime folder of another user",
         [](Tmp t) { return toNobody(folderAt(t.top / "run", 0700)); }, "own"},
        {"runtime folder is a link to a private one",
         [](Tmp t) { return linkTo(folderAt(t.top / "run", 0700), t.top / "link"); }, "own"},
        {"relative runtime folder", [](Tmp) { return std::string("run"); }, "own"},
        {"own folder open to others", [](Tmp t) { return folderAt(t.own, 0755), std::string(); },
         ""},
        {"own folder a link to a private one",
         [](Tmp t) { return linkTo(folderAt(t.top / "elsewhere", 0700), t.own), std::string(); },
         ""},
        {"own folder a plain file",
         [](Tmp t) { return testing::writeFile(t.own, ""), std::string(); }, ""},
    };
    for (const auto& [name, setUp, chosen] : rows) {
        SCOPED_TRACE(name);
        if (needsRoot(name) && kMe != 0) continue;
        SharedTmp t;
        const std::string runtime = setUp(t);
        const std::string folder = instanceLockFolder(runtime, t.tmp.string(), kMe);
        EXPECT_EQ(folder, chosen == "runtime" ? runtime : chosen == "own" ? t.own.string() : "");
        if (folder.empty()) continue;
        struct stat st {};
        ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode) && (st.st_mode & 07777) == 0700) << st.st_mode;
        InstanceLock first(folder);  // a second start is refused until the first lets go
        ASSERT_EQ(first.state(), LockState::Acquired);
        EXPECT_EQ(InstanceLock(folder).state(), LockState::HeldElsewhere);
        EXPECT_TRUE(first.release());
        EXPECT_EQ(first.state(), LockState::Released);
    }
}

TEST(InstanceLock, OnlyARegularFileOfTheUserInAPrivateFolderIsLocked) {
    using Lock = const std::string&;
    // name, the folder in the test's private one (nullptr: none given), what lies at the
    // lock file's name
    const std::tuple<const char*, const char*, void (*)(Lock)> rows[] = {
        {"no folder", nullptr, [](Lock) {}},
        {"missing folder", "gone", [](Lock) {}},
        {"folder open to others", "open", [](Lock) {}},
        {"lock file is a link", ".",
         [](Lock f) { testing::writeFile(f + ".target", ""), linkTo(f + ".target", f); }},
        {"lock file is a dangling link", ".",
         [](Lock f) { linkTo(fs::path(f).parent_path() / "created", f); }},
        {"lock file is a FIFO", ".", [](Lock f) { ::mkfifo(f.c_str(), 0600); }},
        {"lock file is a folder", ".", [](Lock f) { folderAt(f, 0700); }},
        {"lock file of another user", ".", [](Lock f) { testing::writeFile(f, ""), toNobody(f); }},
    };
    for (const auto& [name, folder, plant] : rows) {
        SCOPED_TRACE(name);
        if (needsRoot(name) && kMe != 0) continue;
        TempDir dir;
        folderAt(dir / "open", 0770);
        plant((dir / "Mutex_Corvalo_utility_RunOnce.lock").string());
        EXPECT_EQ(InstanceLock(folder ? (dir / folder).string() : "").state(),
                  LockState::NoSafePlace);
        EXPECT_FALSE(fs::exists(dir / "created"));  // nothing made through a link
    }
}

}  // namespace
}  // namespace corvalo::platform
