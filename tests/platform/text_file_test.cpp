// Saving a text file: replaced whole or not at all, refusals, a full disk. Which links are
// followed is pinned with the INI storage, which shares the rule.
#include "platform/text_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/error.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace corvalo::platform {
namespace {

using namespace corvalo::testing;
using Names = std::vector<std::string>;
namespace fs = std::filesystem;

constexpr const char* kOld = "         5 +\n         3 +\n";
constexpr const char* kNew = "         5 +\n         3 +\n         002\n         8 *\n";

// The error text of the write, or "" when it succeeded.
std::string writeError(const std::string& path, const std::string& bytes) {
    try {
        writeTextFileAtomically(path, bytes);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

// A new file gets the umask's mode; a replaced one keeps its own.
TEST(TextFile, WritesANewFileThenReplacesItWholeKeepingItsMode) {
    TempDir dir;
    const std::string file = (dir / "tape.txt").string();
    const fs::path cwd = fs::current_path();
    fs::current_path(dir.path());
    const mode_t savedMask = ::umask(022);
    const std::string error = writeError("tape.txt", kNew);  // a relative path: this folder
    ::umask(savedMask);
    fs::current_path(cwd);
    ASSERT_EQ(error, "");
    EXPECT_EQ(readFile(file), kNew);
    EXPECT_EQ(fs::status(file).permissions(), static_cast<fs::perms>(0644));

    fs::permissions(file, static_cast<fs::perms>(0640));
    std::ifstream before(file, std::ios::binary);  // opened on the file being replaced
    ASSERT_EQ(writeError(file, "8\n"), "");
    EXPECT_EQ(readFile(file), "8\n");
    EXPECT_EQ(fs::status(file).permissions(), static_cast<fs::perms>(0640));
    // A reader of the old file still reads all of it: the file was replaced, not rewritten.
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(before), {}), kNew);
    EXPECT_EQ(fileNames(dir.path()), Names{"tape.txt"});
}

// Each refusal leaves the old file whole and nothing beside it. The writes run in a
// child: as "nobody" where permissions must stop them (root writes through them), and
// under a file-size limit, which binds root too, for a full disk.
TEST(TextFile, RefusesAndKeepsTheOldFile) {
    const struct {
        const char* name;
        const char* target;  // in the folder that holds tape.txt
        std::function<void(const fs::path& folder)> scene;
        bool asNobody = false;
        rlim_t fileSizeLimit = RLIM_INFINITY;
    } rows[] = {
        {"ReadOnlyFolder", "tape.txt",
         [](const fs::path& f) { fs::permissions(f, fs::perms(0555)); }, true},
        {"FileTheUserMayNotWrite", "tape.txt",
         [](const fs::path& f) { fs::permissions(f / "tape.txt", fs::perms(0444)); }, true},
        {"FolderAtThePath", "sub", [](const fs::path& f) { fs::create_directory(f / "sub"); }},
        {"LinkLoop", "loop", [](const fs::path& f) { fs::create_symlink("loop", f / "loop"); }},
        {"DiskFull", "tape.txt", [](const fs::path&) {}, false, 4},
    };
    const bool root = ::geteuid() == 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const fs::path folder = dir / "work";
        fs::create_directory(folder);
        writeFile(folder / "tape.txt", kOld);
        if (root && row.asNobody) {
            ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
            ASSERT_EQ(::chown(folder.c_str(), nobodyUid(), nogroupGid()), 0);
            ASSERT_EQ(::chown((folder / "tape.txt").c_str(), nobodyUid(), nogroupGid()), 0);
        }
        row.scene(folder);
        Names names = fileNames(folder);
        const std::string target = (folder / row.target).string();
        const std::string verdict = runInChild([&]() -> std::string {
            if (root && row.asNobody && !becomeNobody()) return "could not become nobody";
            if (row.fileSizeLimit != RLIM_INFINITY) {
                std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG
                rlimit small{};
                ::getrlimit(RLIMIT_FSIZE, &small);
                small.rlim_cur = row.fileSizeLimit;
                if (::setrlimit(RLIMIT_FSIZE, &small) != 0) return "no file-size limit";
            }
            return writeError(target, kNew);
        });
        EXPECT_EQ(verdict, "Unable to write to " + target);
        EXPECT_EQ(readFile(folder / "tape.txt"), kOld);
        EXPECT_EQ(fileNames(folder), names);
    }
}

}  // namespace
}  // namespace corvalo::platform
