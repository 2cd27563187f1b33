// Reading a file that anyone may have put in the folder: only a regular file is read,
// and the open never waits.
#include "platform/regular_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>

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
    auto reading = std::async(std::launch::async, [&] {
        std::string bytes = "stale";
        const FileRead result = readRegularFile(pipe, 1024, bytes);
        return result == FileRead::Failed && bytes.empty();
    });
    // A watchdog, not a time limit: it only frees a reader that would otherwise hang.
    if (reading.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        ADD_FAILURE() << "the open waits for a writer";
        const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    EXPECT_TRUE(reading.get());
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
