// Reading a file that anyone may have put in the folder: only a regular file is read,
// and the open never waits.
#include "platform/regular_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace corvalo::platform {
namespace {

using corvalo::testing::TempDir;
using corvalo::testing::writeFile;

// Regression: the open used to block until a writer opened the pipe, for ever.
TEST(ReadRegularFile, APipeIsRefusedWithoutWaitingForAWriter) {
    TempDir dir;
    const std::string pipe = (dir / "corvalo.ini").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string verdict = corvalo::testing::runInChild([&]() -> std::string {
        ::alarm(60);  // a watchdog, not a time limit: a reader that hangs dies instead
        std::string bytes = "stale";
        if (readRegularFile(pipe, 1024, bytes) != FileRead::Failed) return "not refused";
        return bytes.empty() ? "" : "bytes kept";
    });
    EXPECT_EQ(verdict, "");
}

TEST(ReadRegularFile, ReadsOnlyRegularFilesUpToTheLimit) {
    TempDir dir;
    writeFile(dir / "ten", "0123456789");
    std::filesystem::create_directory(dir / "folder");
    std::filesystem::create_symlink(dir / "ten", dir / "link");
    const struct {
        const char* name;
        std::string path;
        std::size_t limit;
        FileRead expected;
        const char* bytes;
    } rows[] = {
        {"WithinTheLimit", (dir / "ten").string(), 10, FileRead::Ok, "0123456789"},
        {"OneByteOverTheLimit", (dir / "ten").string(), 9, FileRead::Failed, ""},
        {"ThroughALink", (dir / "link").string(), 10, FileRead::Ok, "0123456789"},
        {"Missing", (dir / "none").string(), 10, FileRead::Missing, ""},
        {"Folder", (dir / "folder").string(), 10, FileRead::Failed, ""},
        {"Device", "/dev/zero", 10, FileRead::Failed, ""},
        {"InsideAFile", (dir / "ten" / "x").string(), 10, FileRead::Failed, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string bytes = "stale";
        EXPECT_EQ(readRegularFile(row.path, row.limit, bytes), row.expected);
        EXPECT_EQ(bytes, row.bytes);
    }
}

}  // namespace
}  // namespace corvalo::platform
