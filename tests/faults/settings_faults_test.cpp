// Faults a user meets while the settings are saved at close: a step of the write
// refused, a full disk, and the program killed mid-write. (A read-only folder under
// real permissions is faults_settings_unwritable, with the whole program.)
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "fault_support.h"
#include "platform/error.h"
#include "platform/ini_storage.h"
#include "shell/settings.h"
#include "support/child_process.h"
#include "support/fake_ini_storage.h"
#include "support/temp_dir.h"

namespace corvalo::faults {
namespace {

using namespace corvalo::testing;
using platform::DiskStep;

// A file the user keeps by hand: comments and keys the program never writes.
const std::string kUserFile =
    "; kept by hand\r\n[Internet]\r\nProxy=proxy.example\r\nProxyPort=8080\r\n"
    "[Show]\r\nIgnoreFirstRowWhenEmpty=0\r\nResultDecimalFormat=2\r\n"
    "[Form]\r\nCalculator Default Startup=1\r\n";

// Saves the window's settings as a close does; `variant` 0 and 1 differ in every key.
// The error text, or "".
std::string save(const std::string& file, int variant, platform::IniStorage& storage) {
    const bool b = variant != 0;
    const std::int32_t d = b ? 100 : 0;
    clipcalc::CalcState calc;
    calc.setResultDecimals(b ? 5 : 3);
    calc.tabulationStyle =
        b ? clipcalc::TabulationStyle::UsingRows : clipcalc::TabulationStyle::UsingColumns;
    shell::ShellSettings shell{!b, 510 + d, 520 + d, 530 + d, 340 + d, 350 + d, false, "", ""};
    platform::FontSpec font{b ? "DejaVu Sans" : "Courier", 9 + d, b ? -2147483643 : 128, !b, b};
    std::int32_t left = 200 - d, top = 250 - d;
    try {
        shell::saveSettings(file, {calc, shell, font, font, font, left, top}, storage);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

// The whole file a fault-free save of `variant` leaves, starting from `start`.
std::string savedText(const std::string& start, int variant) {
    FakeIniStorage storage;
    storage.files["f"] = start;
    EXPECT_EQ(save("f", variant, storage), "");
    return storage.files["f"];
}

// The real disk, refusing `steps` with EACCES.
platform::DiskIniStorage refusing(std::vector<DiskStep> steps) {
    return platform::DiskIniStorage([steps](DiskStep step) {
        return std::count(steps.begin(), steps.end(), step) > 0 ? EACCES : 0;
    });
}

// A folder that holds the user's corvalo.ini; alone() while nothing is beside it.
struct UserFolder {
    UserFolder() { writeFile(file, kUserFile); }
    bool alone() const { return fileNames(dir.path()) == std::vector<std::string>{"corvalo.ini"}; }
    TempDir dir;
    std::string file = (dir / "corvalo.ini").string();
};

// Each step of the one write a close makes is refused in turn, alone and together
// with a step of the in-place fallback. A refused new file or rename falls back to
// writing in place; every other refusal fails the close with the path and, as long
// as no byte was written in place, leaves the old whole file. Once nothing is
// refused the next close writes exactly what an undisturbed close writes.
TEST(SettingsFaults, EveryStepOfTheWriteRefused) {
    const std::string saved = savedText(kUserFile, 1);
    ASSERT_GT(saved.size(), kUserFile.size());  // so an in-place write needs no cut
    const struct {
        const char* name;
        std::vector<DiskStep> refused;
        bool fails;
        const std::string& after;
    } rows[] = {
        {"NewFile", {DiskStep::CreateTemp}, false, saved},
        {"Rename", {DiskStep::Rename}, false, saved},
        {"WriteOfNewFile", {DiskStep::WriteTemp}, true, kUserFile},
        {"FsyncOfNewFile", {DiskStep::SyncTemp}, true, kUserFile},
        {"NewFileAndOpen", {DiskStep::CreateTemp, DiskStep::OpenInPlace}, true, kUserFile},
        {"RenameAndOpen", {DiskStep::Rename, DiskStep::OpenInPlace}, true, kUserFile},
        {"NewFileAndReserve", {DiskStep::CreateTemp, DiskStep::Reserve}, true, kUserFile},
        {"RenameAndReserve", {DiskStep::Rename, DiskStep::Reserve}, true, kUserFile},
        {"NewFileAndWrite", {DiskStep::CreateTemp, DiskStep::WriteInPlace}, true, kUserFile},
        // Past the write the new text is in the file; the close still reports the failure.
        {"NewFileAndCut", {DiskStep::CreateTemp, DiskStep::Cut}, true, saved},
        {"NewFileAndFsync", {DiskStep::CreateTemp, DiskStep::SyncInPlace}, true, saved},
    };
    long survived = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        UserFolder folder;
        platform::DiskIniStorage faulty = refusing(row.refused);
        EXPECT_EQ(save(folder.file, 1, faulty),
                  row.fails ? "Unable to write to " + folder.file : "");
        EXPECT_EQ(readFile(folder.file), row.after);
        EXPECT_TRUE(folder.alone());
        platform::DiskIniStorage disk;
        EXPECT_EQ(save(folder.file, 1, disk), "");
        EXPECT_EQ(readFile(folder.file), saved);
        if (!HasFailure()) ++survived;
    }
    printCounts("settings write refused at each step", std::ssize(rows), survived);
}

// A full disk, made real in a child by a file-size limit (which binds root too) in
// every class of size around the old and the new file, for the new file beside the
// old one and for the write in place: the file on disk is the old whole file or the
// new whole file, and nothing is left beside it.
TEST(SettingsFaults, DiskFullAtEverySizeOfTheSave) {
    const std::string saved = savedText(kUserFile, 1);
    ASSERT_GT(saved.size(), kUserFile.size() + 2);
    const rlim_t oldSize = kUserFile.size();
    const rlim_t newSize = saved.size();
    const struct {
        const char* name;
        rlim_t limit;
    } sizes[] = {{"NothingFits", 0},
                 {"OneByteShortOfTheOldFile", oldSize - 1},
                 {"ExactlyTheOldFile", oldSize},
                 {"BetweenOldAndNew", (oldSize + newSize) / 2},
                 {"OneByteShortOfTheNewFile", newSize - 1},
                 {"ExactlyTheNewFile", newSize},
                 {"RoomToSpare", newSize + 4096}};
    long injected = 0, survived = 0;
    for (const bool inPlace : {false, true}) {
        for (const auto& size : sizes) {
            SCOPED_TRACE(std::string(inPlace ? "in place, " : "new file, ") + size.name);
            UserFolder folder;
            platform::DiskIniStorage disk =
                inPlace ? refusing({DiskStep::CreateTemp}) : refusing({});
            const bool full = size.limit < newSize;
            const auto saveWithin = [&] {
                std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG
                const rlimit limit{size.limit, size.limit};
                if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("no limit");
                return save(folder.file, 1, disk);
            };
            EXPECT_EQ(runInChild(saveWithin), full ? "Unable to write to " + folder.file : "");
            EXPECT_EQ(readFile(folder.file), full ? kUserFile : saved);
            EXPECT_TRUE(folder.alone());
            injected += full;
            survived += full && !HasFailure();
        }
    }
    printCounts("disk full during the settings write", injected, survived);
}

// Kills the saving process at random moments once its first save is done, so every kill
// lands among the saves. A close is one atomic replacement, so the file must always be
// one of the whole files the saves leave: never truncated, never a mix of two. A stray
// new file a kill leaves beside it is harmless.
TEST(SettingsFaults, KilledDuringTheWriteLeavesAWholeFile) {
    constexpr int kRounds = 200;
    // The child saves variant 0 and 1 in turn, from the user's file.
    const std::string toA = savedText(kUserFile, 0);
    const std::string toB = savedText(toA, 1);
    const std::set<std::string> whole = {kUserFile, toA, toB, savedText(toB, 0)};
    UserFolder folder;
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> delayMicros(0, 4000);
    long survived = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        writeFile(folder.file, kUserFile);
        Pipe saved;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            saved.closeEnd(0);
            platform::DiskIniStorage disk;
            for (int variant = 0;; variant ^= 1) {
                if (!save(folder.file, variant, disk).empty()) ::_exit(3);
                if (variant == 0) (void)!::write(saved.fd[1], "s", 1);  // once per two saves
            }
        }
        saved.closeEnd(1);
        char first = 0;
        ASSERT_EQ(::read(saved.fd[0], &first, 1), 1) << "the child ended before its first save";
        // Not a wait: a random moment for the kill, somewhere inside a save.
        ::usleep(static_cast<useconds_t>(delayMicros(random)));
        // `saved` closes only after the kill: a write to a closed pipe would end the child.
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the saving child ended on its own";
        const std::string now = readFile(folder.file);
        EXPECT_EQ(whole.count(now), 1U) << "not a whole file (" << now.size() << " bytes)";
        for (const std::string& name : fileNames(folder.dir.path())) {
            if (name != "corvalo.ini") std::filesystem::remove(folder.dir / name);
        }
        if (!HasFailure()) ++survived;
    }
    printCounts("kill -9 during the settings write", kRounds, survived);
}

}  // namespace
}  // namespace corvalo::faults
