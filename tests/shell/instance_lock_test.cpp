#include "platform/qt/instance_lock.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace corvalo::platform {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kNobody = 65534;

unsigned me() {
    return static_cast<unsigned>(::geteuid());
}

std::string lockFileIn(const fs::path& folder) {
    return (folder / "Mutex_Corvalo_utility_RunOnce.lock").string();
}

void makeFolder(const fs::path& dir, mode_t mode) {
    ASSERT_EQ(::mkdir(dir.c_str(), mode), 0) << dir;
    ASSERT_EQ(::chmod(dir.c_str(), mode), 0) << dir;  // past the umask
}

// A shared folder like /tmp: everybody may create entries, only their owner removes them.
struct SharedTmp {
    testing::TempDir top;
    fs::path tmp = top / "tmp";
    fs::path ownFolder = tmp / ("corvalo-" + std::to_string(me()));

    SharedTmp() {
        ::chmod(top.path().c_str(), 0755);  // so that another user reaches tmp
        makeFolder(tmp, 01777);
    }
};

// The argument list of setpriv for running `command` as the user nobody.
std::vector<std::string> asNobody(std::vector<std::string> command) {
    std::vector<std::string> args{"setpriv", "--reuid=nobody", "--regid=nogroup",
                                  "--clear-groups"};
    args.insert(args.end(), command.begin(), command.end());
    return args;
}

// Starts `args`; its standard input and output are pipes (-1 when not asked for).
pid_t spawn(const std::vector<std::string>& args, int* stdinWrite, int* stdoutRead) {
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    if (stdinWrite != nullptr && ::pipe(in) != 0) return -1;
    if (stdoutRead != nullptr && ::pipe(out) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        if (in[0] >= 0) ::dup2(in[0], 0);
        if (out[1] >= 0) ::dup2(out[1], 1);
        for (const int fd : {in[0], in[1], out[0], out[1]}) {
            if (fd > 2) ::close(fd);
        }
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    if (in[0] >= 0) ::close(in[0]);
    if (out[1] >= 0) ::close(out[1]);
    if (stdinWrite != nullptr) *stdinWrite = in[1];
    if (stdoutRead != nullptr) *stdoutRead = out[0];
    return child;
}

int waitExit(pid_t child) {
    if (child <= 0) return -1;
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int runAsNobody(std::vector<std::string> command) {
    return waitExit(spawn(asNobody(std::move(command)), nullptr, nullptr));
}

// The user nobody holding an flock on `file` (creating it) until the object goes.
class NobodyHoldsLock {
  public:
    explicit NobodyHoldsLock(const std::string& file) {
        pid_ = spawn(asNobody({"flock", "-n", file, "sh", "-c", "echo held; read line"}), &stdin_,
                     &stdout_);
        char buffer[5] = {};
        held_ = pid_ > 0 && ::read(stdout_, buffer, 4) == 4 && std::string(buffer) == "held";
    }
    ~NobodyHoldsLock() {
        ::close(stdin_);  // ends the read, and with it the flock
        ::close(stdout_);
        if (pid_ > 0) waitExit(pid_);
    }
    NobodyHoldsLock(const NobodyHoldsLock&) = delete;
    NobodyHoldsLock& operator=(const NobodyHoldsLock&) = delete;
    bool held() const { return held_; }

  private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    bool held_ = false;
};

#define SKIP_UNLESS_ROOT() \
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user"

TEST(InstanceLockFolder, PrivateRuntimeFolderElseOwnFolderInTmp) {
    const struct {
        const char* name;
        std::function<std::string(const SharedTmp&)> runtime;  // sets up, returns the value
        bool runtimeChosen;
    } rows[] = {
        {"private runtime folder",
         [](const SharedTmp& t) {
             makeFolder(t.top / "run", 0700);
             return (t.top / "run").string();
         },
         true},
        {"runtime folder open to others",
         [](const SharedTmp& t) {
             makeFolder(t.top / "run", 0755);
             return (t.top / "run").string();
         },
         false},
        {"runtime folder is a link to a private one",
         [](const SharedTmp& t) {
             makeFolder(t.top / "run", 0700);
             fs::create_directory_symlink(t.top / "run", t.top / "link");
             return (t.top / "link").string();
         },
         false},
        {"runtime folder missing", [](const SharedTmp& t) { return (t.top / "gone").string(); },
         false},
        {"relative runtime folder", [](const SharedTmp&) { return std::string("run"); }, false},
        {"no runtime folder", [](const SharedTmp&) { return std::string(); }, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SharedTmp t;
        const std::string runtime = row.runtime(t);
        const std::string folder = instanceLockFolder(runtime, t.tmp.string(), me());
        if (row.runtimeChosen) {
            EXPECT_EQ(folder, runtime);
            continue;
        }
        EXPECT_EQ(folder, t.ownFolder.string());
        struct stat st {};
        ASSERT_EQ(::lstat(t.ownFolder.c_str(), &st), 0);
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
        {"open to others", [](const SharedTmp& t) { makeFolder(t.ownFolder, 0755); }},
        {"a link to a private folder",
         [](const SharedTmp& t) {
             makeFolder(t.top / "elsewhere", 0700);
             fs::create_directory_symlink(t.top / "elsewhere", t.ownFolder);
         }},
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
    const std::string predictable =
        "Mutex_Corvalo_utility_RunOnce-" + std::to_string(me()) + ".lock";
    const struct {
        const char* name;
        std::vector<std::string> plant;  // run as nobody first; {} plants nothing
        std::string held;                // what nobody then holds an flock on, in tmp
        bool sharedRuntime;              // the runtime folder is the shared tmp itself
        LockState expected;
    } rows[] = {
        {"predictable lock file held, no runtime folder",
         {},
         predictable,
         false,
         LockState::Acquired},
        {"lock file held in a shared runtime folder",
         {},
         "Mutex_Corvalo_utility_RunOnce.lock",
         true,
         LockState::Acquired},
        {"own folder made first, its lock file held",
         {"mkdir", "-m", "0777", "{own}"},
         "{own}/Mutex_Corvalo_utility_RunOnce.lock",
         false,
         LockState::NoSafePlace},
        {"link of the own folder's name made first",
         {"ln", "-s", "/", "{own}"},
         "",
         false,
         LockState::NoSafePlace},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SharedTmp t;
        const auto inTmp = [&t](std::string arg) {
            const auto at = arg.find("{own}");
            if (at != std::string::npos) arg.replace(at, 5, t.ownFolder.string());
            return arg.front() == '/' ? arg : (t.tmp / arg).string();
        };
        std::vector<std::string> plant = row.plant;
        for (auto& arg : plant) {
            if (arg.find("{own}") != std::string::npos) arg = inTmp(arg);
        }
        if (!plant.empty()) {
            ASSERT_EQ(runAsNobody(plant), 0);
        }
        std::unique_ptr<NobodyHoldsLock> holder;
        if (!row.held.empty()) {
            holder = std::make_unique<NobodyHoldsLock>(inTmp(row.held));
            ASSERT_TRUE(holder->held());
        }
        const std::string runtime = row.sharedRuntime ? t.tmp.string() : "";
        const std::string folder = instanceLockFolder(runtime, t.tmp.string(), me());
        EXPECT_EQ(InstanceLock(folder).state(), row.expected);
    }
}

TEST(InstanceLockFolder, RuntimeFolderOfAnotherUserIsPassedOver) {
    SKIP_UNLESS_ROOT();
    SharedTmp t;
    makeFolder(t.top / "run", 0700);
    ASSERT_EQ(::chown((t.top / "run").c_str(), kNobody, kNobody), 0);
    EXPECT_EQ(instanceLockFolder((t.top / "run").string(), t.tmp.string(), me()),
              t.ownFolder.string());
}

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstReleases) {
    testing::TempDir dir;
    auto first = std::make_unique<InstanceLock>(dir.path().string());
    ASSERT_EQ(first->state(), LockState::Acquired);
    EXPECT_EQ(InstanceLock(dir.path().string()).state(), LockState::HeldElsewhere);
    EXPECT_TRUE(first->release());
    EXPECT_FALSE(first->acquired());
    EXPECT_TRUE(InstanceLock(dir.path().string()).acquired());
}

TEST(InstanceLock, KernelReleasesItWhenTheHolderIsKilled) {
    testing::TempDir dir;
    const std::string folder = dir.path().string();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock held(folder);
        const char ok = held.acquired() ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        pause();  // killed while holding the lock, no clean-up runs
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    EXPECT_FALSE(InstanceLock(folder).acquired());
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(InstanceLock(folder).acquired());
    close(ready[0]);
    close(ready[1]);
}

TEST(InstanceLock, OnlyARegularFileOfTheUserInAPrivateFolderIsLocked) {
    const struct {
        const char* name;
        std::function<std::string(const fs::path& top)> setUp;  // returns the folder
    } rows[] = {
        {"no folder", [](const fs::path&) { return std::string(); }},
        {"missing folder", [](const fs::path& top) { return (top / "gone").string(); }},
        {"folder open to others",
         [](const fs::path& top) {
             makeFolder(top / "open", 0770);
             return (top / "open").string();
         }},
        {"lock file is a link",
         [](const fs::path& top) {
             testing::writeFile(top / "target", "");
             fs::create_symlink(top / "target", lockFileIn(top));
             return top.string();
         }},
        {"lock file is a dangling link",
         [](const fs::path& top) {
             fs::create_symlink(top / "created", lockFileIn(top));
             return top.string();
         }},
        {"lock file is a FIFO",
         [](const fs::path& top) {
             ::mkfifo(lockFileIn(top).c_str(), 0600);
             return top.string();
         }},
        {"lock file is a folder",
         [](const fs::path& top) {
             makeFolder(lockFileIn(top), 0700);
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
    ASSERT_EQ(::chown(lockFileIn(dir.path()).c_str(), kNobody, kNobody), 0);
    EXPECT_EQ(InstanceLock(dir.path().string()).state(), LockState::NoSafePlace);
}

// The lock needs no write access to its file: a read-only one left behind still works.
TEST(InstanceLock, ReadOnlyLockFileIsLocked) {
    testing::TempDir dir;
    const fs::path folder = dir / "own";
    makeFolder(folder, 0700);
    testing::writeFile(lockFileIn(folder), "");
    ASSERT_EQ(::chmod(lockFileIn(folder).c_str(), 0400), 0);
    if (::geteuid() != 0) {
        EXPECT_TRUE(InstanceLock(folder.string()).acquired());
        return;
    }
    // Root may write anything: take the lock as nobody, whose file it then is.
    ::chmod(dir.path().c_str(), 0755);
    ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chown(lockFileIn(folder).c_str(), kNobody, kNobody), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool switched = ::setgroups(0, nullptr) == 0 &&
                              ::setresgid(kNobody, kNobody, kNobody) == 0 &&
                              ::setresuid(kNobody, kNobody, kNobody) == 0;
        if (!switched) ::_exit(2);
        ::_exit(InstanceLock(folder.string()).acquired() ? 0 : 1);
    }
    EXPECT_EQ(waitExit(child), 0);
}

}  // namespace
}  // namespace corvalo::platform
