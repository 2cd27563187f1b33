// Starts racing for the single-instance lock: exactly one wins, every time.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "fault_support.h"
#include "platform/qt/instance_lock.h"
#include "support/temp_dir.h"

namespace corvalo::faults {
namespace {

using corvalo::testing::TempDir;

// A pipe whose ends are each closed once, at the latest when it goes.
struct Pipe {
    Pipe() { ok = ::pipe(fd.data()) == 0; }
    ~Pipe() {
        closeEnd(0);
        closeEnd(1);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    void closeEnd(std::size_t i) {
        if (fd[i] >= 0) ::close(fd[i]);
        fd[i] = -1;
    }
    std::array<int, 2> fd{-1, -1};
    bool ok = false;
};

// Blocks until every write end of the pipe is closed.
void awaitClose(int readEnd) {
    char c = 0;
    while (::read(readEnd, &c, 1) > 0) {
    }
}

// A new folder of the user's own for a lock file.
std::string privateFolder(const TempDir& dir, const std::string& name) {
    const std::string folder = (dir / name).string();
    return ::mkdir(folder.c_str(), 0700) == 0 ? folder : "";
}

// `racers` processes are released at once to take the lock in `folder`; each reports
// 'W' (won) or 'L' (lost) and holds what it got until all have reported, so a loser
// can never take the lock after the winner let go. Returns the reports.
std::string race(const std::string& folder, int racers) {
    Pipe go;
    Pipe done;
    Pipe reports;
    if (!go.ok || !done.ok || !reports.ok) return "pipe failed";
    std::vector<pid_t> children;
    for (int i = 0; i < racers; ++i) {
        const pid_t child = ::fork();
        if (child < 0) break;
        if (child == 0) {
            go.closeEnd(1);
            done.closeEnd(1);
            reports.closeEnd(0);
            awaitClose(go.fd[0]);
            platform::InstanceLock lock(folder);
            const char verdict = lock.acquired() ? 'W' : 'L';
            (void)!::write(reports.fd[1], &verdict, 1);
            awaitClose(done.fd[0]);
            ::_exit(0);
        }
        children.push_back(child);
    }
    go.closeEnd(0);
    done.closeEnd(0);
    reports.closeEnd(1);
    go.closeEnd(1);  // the starting shot

    std::string verdicts;
    char c = 0;
    while (verdicts.size() < children.size() && ::read(reports.fd[0], &c, 1) == 1) {
        verdicts += c;
    }
    done.closeEnd(1);
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) verdicts += '!';
    }
    return verdicts;
}

// 200 races of two starts; half of them on a lock file that does not exist yet, so
// its creation races too.
TEST(LockRace, ExactlyOneOfTwoStartsWinsEveryTime) {
    constexpr int kRounds = 200;
    constexpr int kRacers = 2;
    TempDir dir;
    const std::string kept = privateFolder(dir, "kept");
    ASSERT_FALSE(kept.empty());
    long survived = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string folder =
            round % 2 == 0 ? privateFolder(dir, "fresh" + std::to_string(round)) : kept;
        ASSERT_FALSE(folder.empty());
        const std::string verdicts = race(folder, kRacers);
        ASSERT_EQ(verdicts.size(), static_cast<std::size_t>(kRacers)) << verdicts;
        EXPECT_EQ(std::count(verdicts.begin(), verdicts.end(), 'W'), 1) << verdicts;
        if (!HasFailure()) ++survived;
    }
    printCounts("two starts racing for the instance lock", kRounds, survived);
}

// A holder killed with SIGKILL runs no clean-up: while it lives every start loses, once
// it is gone exactly one of the next starts wins.
TEST(LockRace, AKilledHolderLeavesTheLockToOneNextStart) {
    TempDir dir;
    const std::string folder = dir.path().string();
    Pipe ready;
    ASSERT_TRUE(ready.ok);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        ready.closeEnd(0);
        platform::InstanceLock lock(folder);
        const char verdict = lock.acquired() ? 'W' : 'L';
        (void)!::write(ready.fd[1], &verdict, 1);
        ::pause();
        ::_exit(0);
    }
    ready.closeEnd(1);
    char verdict = 0;
    ASSERT_EQ(::read(ready.fd[0], &verdict, 1), 1);
    EXPECT_EQ(verdict, 'W');
    EXPECT_EQ(race(folder, 2), "LL");
    ASSERT_EQ(::kill(holder, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(holder, &status, 0), holder);
    ASSERT_TRUE(WIFSIGNALED(status));
    const std::string after = race(folder, 2);
    EXPECT_EQ(std::count(after.begin(), after.end(), 'W'), 1) << after;
}

}  // namespace
}  // namespace corvalo::faults
