// The INI file on disk: atomic replacement, the in-place fallback, links, and
// things that are not files.
#include "platform/ini_storage.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace corvalo::platform {
namespace {

using namespace corvalo::testing;
using Names = std::vector<std::string>;
namespace fs = std::filesystem;

ino_t inodeOf(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

class DiskIniStorageTest : public ::testing::Test {
  protected:
    std::string file() const { return (dir_ / "corvalo.ini").string(); }
    std::string read(const std::string& path) {
        std::string bytes;
        return disk_.read(path, bytes) == IniStorage::ReadResult::Ok ? bytes : "<not read>";
    }
    TempDir dir_;
    DiskIniStorage disk_;
};

TEST_F(DiskIniStorageTest, CreatesReadsAndReplacesKeepingTheModeAndNothingBeside) {
    ASSERT_TRUE(disk_.replace(file(), "[S]\r\nK=1\r\n"));
    EXPECT_EQ(read(file()), "[S]\r\nK=1\r\n");
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(file(), mode);
    ASSERT_TRUE(disk_.replace(file(), "[S]\nK=2\n"));
    EXPECT_EQ(read(file()), "[S]\nK=2\n");
    EXPECT_EQ(fs::status(file()).permissions(), mode);
    EXPECT_EQ(fileNames(dir_.path()), Names{"corvalo.ini"});
}

TEST_F(DiskIniStorageTest, TheUsersOwnLinkIsFollowedNotReplaced) {
    fs::create_directory(dir_ / "keep");
    const struct {
        const char* name;
        const char* target;
        bool exists;
    } rows[] = {
        {"ToAFile", "keep/real.ini", true},
        // Regression: a dangling link was replaced by a file of its own.
        {"Dangling", "keep/new.ini", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.exists) writeFile(dir_ / row.target, "[S]\nK=1\n");
        fs::create_symlink(row.target, file());
        ASSERT_TRUE(disk_.replace(file(), "[S]\nK=2\n"));
        EXPECT_TRUE(fs::is_symlink(file()));
        EXPECT_EQ(readFile(dir_ / row.target), "[S]\nK=2\n");
        fs::remove(file());
    }
}

// Regression: in a shared folder another user planted corvalo.ini as a link to a
// file of ours, and the save wrote into that file.
TEST_F(DiskIniStorageTest, ALinkSomeoneElsePlantedIsNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a link to another user";
    writeFile(dir_ / "victim", "private\n");
    const struct {
        const char* name;
        std::vector<std::pair<std::string, bool>> chain;  // link name, planted by another
    } rows[] = {
        {"PlantedLink", {{"corvalo.ini", true}}},
        {"OwnLinkToAPlantedOne", {{"corvalo.ini", false}, {"planted", true}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        for (std::size_t i = 0; i < row.chain.size(); ++i) {
            const fs::path link = dir_ / row.chain[i].first;
            fs::create_symlink(i + 1 < row.chain.size() ? row.chain[i + 1].first : "victim", link);
            if (row.chain[i].second) {
                ASSERT_EQ(::lchown(link.c_str(), nobodyUid(), nogroupGid()), 0);
            }
        }
        EXPECT_FALSE(disk_.replace(file(), "[S]\nK=1\n"));
        EXPECT_EQ(readFile(dir_ / "victim"), "private\n");
        for (const auto& [name, planted] : row.chain) {
            EXPECT_TRUE(fs::is_symlink(dir_ / name)) << name;
            fs::remove(dir_ / name);
        }
        EXPECT_EQ(fileNames(dir_.path()), Names{"victim"});
    }
}

TEST_F(DiskIniStorageTest, WhatIsNotAFileIsNotReplaced) {
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;
    } rows[] = {
        {"Folder", [](const std::string& p) { fs::create_directory(p); }},
        {"Pipe", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"LinkToADevice", [](const std::string& p) { fs::create_symlink("/dev/null", p); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        row.make(file());
        const auto before = fs::symlink_status(file()).type();
        EXPECT_FALSE(disk_.replace(file(), "[S]\nK=1\n"));
        EXPECT_EQ(fs::symlink_status(file()).type(), before);
        EXPECT_EQ(fileNames(dir_.path()), Names{"corvalo.ini"});
        fs::remove(file());
    }
}

// A missing folder, and a file too long to be settings (sparse: no disk used).
TEST_F(DiskIniStorageTest, AMissingFolderAndAFileLongerThan64MegabytesAreRefused) {
    const std::string inside = (dir_ / "gone" / "corvalo.ini").string();
    std::string bytes;
    EXPECT_EQ(disk_.read(inside, bytes), IniStorage::ReadResult::Missing);
    EXPECT_FALSE(disk_.replace(inside, "[S]\nK=1\n"));
    writeFile(file(), "");
    ASSERT_EQ(::truncate(file().c_str(), 64LL * 1024 * 1024 + 1), 0);
    EXPECT_EQ(disk_.read(file(), bytes), IniStorage::ReadResult::Failed);
}

// When the folder refuses the new file or the rename, the file is rewritten where it
// is: exactly the new bytes, the same file, nothing left beside it. (A longer text and a
// refused rename are pinned with every step of the save in the settings' fault tests.)
TEST_F(DiskIniStorageTest, TheFallbackWritesInPlaceExactly) {
    const struct {
        const char* name;
        DiskStep refused;
        std::string bytes;
    } rows[] = {
        {"Shorter", DiskStep::CreateTemp, "[S]\nK=1\n"},
        {"Empty", DiskStep::Rename, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        writeFile(file(), "[S]\nK=12345\n");
        const ino_t inode = inodeOf(file());
        DiskIniStorage disk([&](DiskStep step) { return step == row.refused ? EACCES : 0; });
        EXPECT_TRUE(disk.replace(file(), row.bytes));
        EXPECT_EQ(readFile(file()), row.bytes);
        EXPECT_EQ(inodeOf(file()), inode);
        EXPECT_EQ(fileNames(dir_.path()), Names{"corvalo.ini"});
    }
    DiskIniStorage noFolder(
        [](DiskStep step) { return step == DiskStep::CreateTemp ? EACCES : 0; });
    EXPECT_FALSE(noFolder.replace((dir_ / "new.ini").string(), "[S]\n"));  // nothing to rewrite
    EXPECT_FALSE(fs::exists(dir_ / "new.ini"));
}

}  // namespace
}  // namespace corvalo::platform
