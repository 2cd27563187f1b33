// Starts racing for the single-instance lock: exactly one wins, every time.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fault_support.h"
#include "platform/qt/instance_lock.h"
#include "support/temp_dir.h"

namespace corvalo::faults {
namespace {

// Blocks until every write end of the pipe is closed.
void awaitClose(const Pipe& pipe) {
    for (char c = 0; ::read(pipe.fd[0], &c, 1) > 0;) {
    }
}

// Starts forked to take the lock in `folder` at one moment. Each reports 'W' (won) or 'L'
// (lost) and holds what it got until the object goes, so that a loser can never take the
// lock after the winner let go.
class Starts {
  public:
    Starts(const std::string& folder, int count) {
        for (int i = 0; i < count; ++i) {
            const pid_t child = ::fork();
            if (child == 0) start(folder);
            if (child > 0) children_.push_back(child);
        }
        reports_.closeEnd(1);
    }
    ~Starts() {
        done_.closeEnd(1);
        for (const pid_t child : children_) ::waitpid(child, nullptr, 0);  // a killed one: ECHILD
    }
    // Lets them go at once and returns their reports, one letter a start.
    std::string verdicts() {
        go_.closeEnd(1);
        std::string verdicts;
        for (char c = 0;
             verdicts.size() < children_.size() && ::read(reports_.fd[0], &c, 1) == 1;) {
            verdicts += c;
        }
        return verdicts;
    }
    pid_t first() const { return children_.front(); }

  private:
    [[noreturn]] void start(const std::string& folder) {
        go_.closeEnd(1);
        done_.closeEnd(1);
        reports_.closeEnd(0);
        awaitClose(go_);
        platform::InstanceLock lock(folder);
        const char verdict = lock.acquired() ? 'W' : 'L';
        (void)!::write(reports_.fd[1], &verdict, 1);
        awaitClose(done_);
        ::_exit(0);
    }

    Pipe go_, done_, reports_;
    std::vector<pid_t> children_;
};

// 200 races of two starts; every other one in a new folder, so the lock file's creation
// races too.
TEST(LockRace, ExactlyOneOfTwoStartsWinsEveryTime) {
    constexpr int kRounds = 200;
    const testing::TempDir dir;
    long survived = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const auto folder = dir / (round % 2 == 0 ? "fresh" + std::to_string(round) : "kept");
        ASSERT_TRUE(std::filesystem::exists(folder) || ::mkdir(folder.c_str(), 0700) == 0);
        const std::string verdicts = Starts(folder, 2).verdicts();
        EXPECT_TRUE(verdicts == "WL" || verdicts == "LW") << verdicts;
        if (!HasFailure()) ++survived;
    }
    printCounts("two starts racing for the instance lock", kRounds, survived);
}

// A holder killed with SIGKILL runs no clean-up: while it lives every start loses, once
// it is gone exactly one of the next starts wins.
TEST(LockRace, AKilledHolderLeavesTheLockToOneNextStart) {
    const testing::TempDir dir;
    const std::string folder = dir.path();
    Starts holder(folder, 1);
    ASSERT_EQ(holder.verdicts(), "W");
    EXPECT_EQ(Starts(folder, 2).verdicts(), "LL");
    int status = 0;
    ASSERT_EQ(::kill(holder.first(), SIGKILL), 0);
    ASSERT_EQ(::waitpid(holder.first(), &status, 0), holder.first());
    ASSERT_TRUE(WIFSIGNALED(status));
    const std::string after = Starts(folder, 2).verdicts();
    EXPECT_TRUE(after == "WL" || after == "LW") << after;
}

}  // namespace
}  // namespace corvalo::faults
