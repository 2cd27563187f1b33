// The INI file on disk: atomic replacement, the in-place fallback, links, and
// things that are not files.
#include "platform/ini_storage.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/ini_file.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace corvalo::platform {
namespace {

using corvalo::testing::readFile;
using corvalo::testing::runInChild;
using corvalo::testing::TempDir;
using corvalo::testing::writeFile;
namespace fs = std::filesystem;

ino_t inodeOf(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

class DiskIniStorageTest : public ::testing::Test {
  protected:
    std::string file() const { return (dir_ / "corvalo.ini").string(); }
    std::vector<std::string> folderListing() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_.path())) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    TempDir dir_;
    DiskIniStorage disk_;
};

TEST_F(DiskIniStorageTest, CreatesReadsAndReplacesKeepingForeignLines) {
    IniFile fresh(disk_, file());
    fresh.writeString("Show", "A", "$10");
    ASSERT_TRUE(fresh.save());
    EXPECT_EQ(readFile(file()), "[Show]\nA=$10\n");
    EXPECT_EQ(IniFile(disk_, file()).readInt("SHOW", "a", 42), 16);

    writeFile(file(), "; hand made\r\n[show]\r\na=1\r\n[Other]\r\nz=\xff\x01\r\n");
    IniFile ini(disk_, file());
    ini.writeString("Show", "A", "2");
    ini.writeString("Show", "B", "x");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFile(file()),
              "; hand made\r\n[show]\r\na=2\r\nB=x\r\n[Other]\r\nz=\xff\x01\r\n");
    EXPECT_EQ(folderListing(), std::vector<std::string>{"corvalo.ini"});
}

TEST_F(DiskIniStorageTest, ReplacingKeepsTheFileMode) {
    writeFile(file(), "[S]\nK=1\n");
    fs::permissions(file(),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(disk_.replace(file(), "[S]\nK=2\n"));
    EXPECT_EQ(fs::status(file()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(DiskIniStorageTest, TheUsersOwnLinkIsFollowedNotReplaced) {
    const fs::path real = dir_ / "real.ini";
    writeFile(real, "[S]\nK=1\n");
    fs::create_symlink("real.ini", file());
    ASSERT_TRUE(disk_.replace(file(), "[S]\nK=2\n"));
    EXPECT_TRUE(fs::is_symlink(file()));
    EXPECT_EQ(readFile(real), "[S]\nK=2\n");
}

// Regression: a dangling link was replaced by a file of its own.
TEST_F(DiskIniStorageTest, TheUsersOwnDanglingLinkCreatesItsTarget) {
    fs::create_directory(dir_ / "keep");
    fs::create_symlink("keep/real.ini", file());
    ASSERT_TRUE(disk_.replace(file(), "[S]\nK=2\n"));
    EXPECT_TRUE(fs::is_symlink(file()));
    EXPECT_EQ(readFile(dir_ / "keep" / "real.ini"), "[S]\nK=2\n");
}

// Regression: in a shared folder another user planted corvalo.ini as a link to a
// file of ours, and the save wrote into that file.
TEST_F(DiskIniStorageTest, ALinkSomeoneElsePlantedIsNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a link to another user";
    const fs::path victim = dir_ / "victim";
    const std::string kept = "private\n";
    writeFile(victim, kept);
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
                ASSERT_EQ(::lchown(link.c_str(), corvalo::testing::nobodyUid(),
                                   corvalo::testing::nogroupGid()),
                          0);
            }
        }
        EXPECT_FALSE(disk_.replace(file(), "[S]\nK=1\n"));
        EXPECT_EQ(readFile(victim), kept);
        for (const auto& [name, planted] : row.chain) {
            EXPECT_TRUE(fs::is_symlink(dir_ / name)) << name;
            fs::remove(dir_ / name);
        }
        EXPECT_EQ(folderListing(), std::vector<std::string>{"victim"});
    }
}

TEST_F(DiskIniStorageTest, WhatIsNotAFileIsNeitherReadNorReplaced) {
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
        std::string bytes;
        EXPECT_EQ(disk_.read(file(), bytes), IniStorage::ReadResult::Failed);
        EXPECT_FALSE(disk_.replace(file(), "[S]\nK=1\n"));
        EXPECT_EQ(fs::symlink_status(file()).type(), before);
        EXPECT_EQ(folderListing(), std::vector<std::string>{"corvalo.ini"});
        fs::remove(file());
    }
}

TEST_F(DiskIniStorageTest, AFolderThatDoesNotExistIsRefused) {
    const std::string inside = (dir_ / "gone" / "corvalo.ini").string();
    std::string bytes;
    EXPECT_EQ(disk_.read(inside, bytes), IniStorage::ReadResult::Missing);
    EXPECT_FALSE(disk_.replace(inside, "[S]\nK=1\n"));
}

TEST_F(DiskIniStorageTest, AFileLongerThan64MegabytesIsNotRead) {
    writeFile(file(), "");
    ASSERT_EQ(::truncate(file().c_str(), 64LL * 1024 * 1024 + 1), 0);  // sparse: no disk used
    std::string bytes;
    EXPECT_EQ(disk_.read(file(), bytes), IniStorage::ReadResult::Failed);
}

// When the folder refuses the new file or the rename, the file is rewritten where it
// is: exactly the new bytes, the same file, nothing left beside it.
TEST_F(DiskIniStorageTest, TheFallbackWritesInPlaceExactly) {
    const std::string old = "[S]\nK=12345\n";
    const struct {
        const char* name;
        DiskStep refused;
        std::string bytes;
    } rows[] = {
        {"NoNewFileLonger", DiskStep::CreateTemp, "[S]\nK=1234567890\n"},
        {"NoNewFileShorter", DiskStep::CreateTemp, "[S]\nK=1\n"},
        {"NoNewFileEmpty", DiskStep::CreateTemp, ""},
        {"NoRename", DiskStep::Rename, "[S]\nK=2\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        writeFile(file(), old);
        const ino_t inode = inodeOf(file());
        DiskIniStorage disk([&](DiskStep step) { return step == row.refused ? EACCES : 0; });
        EXPECT_TRUE(disk.replace(file(), row.bytes));
        EXPECT_EQ(readFile(file()), row.bytes);
        EXPECT_EQ(inodeOf(file()), inode);
        EXPECT_EQ(folderListing(), std::vector<std::string>{"corvalo.ini"});
    }
    DiskIniStorage noFolder(
        [](DiskStep step) { return step == DiskStep::CreateTemp ? EACCES : 0; });
    EXPECT_FALSE(noFolder.replace((dir_ / "new.ini").string(), "[S]\n"));  // nothing to rewrite
    EXPECT_FALSE(fs::exists(dir_ / "new.ini"));
}

// Regression: a writable file in a folder the user may not write could not be saved.
TEST_F(DiskIniStorageTest, AWritableFileInAReadOnlyFolderIsWrittenInPlace) {
    const fs::path folder = dir_ / "work";
    fs::create_directory(folder);
    const std::string ini = (folder / "corvalo.ini").string();
    const std::string locked = (folder / "locked.ini").string();
    writeFile(ini, "[S]\nK=1\n");
    writeFile(locked, "[S]\nK=1\n");
    if (::geteuid() == 0) {  // root writes through permissions: the save runs as nobody
        ASSERT_EQ(::chmod(dir_.path().c_str(), 0755), 0);
        for (const std::string& p : {folder.string(), ini, locked}) {
            ASSERT_EQ(
                ::chown(p.c_str(), corvalo::testing::nobodyUid(), corvalo::testing::nogroupGid()),
                0);
        }
    }
    const std::string verdict = runInChild([&]() -> std::string {
        if (::geteuid() == 0 && !corvalo::testing::becomeNobody()) return "not nobody";
        ::chmod(locked.c_str(), 0444);
        ::chmod(folder.c_str(), 0555);
        DiskIniStorage disk;
        if (!disk.replace(ini, "[S]\nK=22\n")) return "the writable file was refused";
        if (disk.replace(locked, "[S]\nK=22\n")) return "the read-only file was written";
        if (disk.replace((folder / "new.ini").string(), "[S]\n")) return "a new file was made";
        return "";
    });
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(verdict, "");
    EXPECT_EQ(readFile(ini), "[S]\nK=22\n");
    EXPECT_EQ(readFile(locked), "[S]\nK=1\n");
    EXPECT_FALSE(fs::exists(folder / "new.ini"));
}

// Regression: a file mounted on its own (rename gives EBUSY) could not be saved.
TEST_F(DiskIniStorageTest, ABindMountedFileIsWrittenInPlace) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting needs root";
    writeFile(file(), "[S]\nK=1\n");
    const std::string verdict = runInChild([&]() -> std::string {
        if (::unshare(CLONE_NEWNS) != 0) return "skip";
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return "skip";
        if (::mount(file().c_str(), file().c_str(), nullptr, MS_BIND, nullptr) != 0) {
            return "skip";
        }
        DiskIniStorage disk;
        if (!disk.replace(file(), "[S]\nK=22\n")) return "refused";
        return readFile(file()) == "[S]\nK=22\n" ? "" : "wrong text";
    });
    if (verdict == "skip") GTEST_SKIP() << "no mount namespace here";
    EXPECT_EQ(verdict, "");
    EXPECT_EQ(readFile(file()), "[S]\nK=22\n");
    EXPECT_EQ(folderListing(), std::vector<std::string>{"corvalo.ini"});
}

// A full disk, made real with a file-size limit (which binds root too): the old file
// stays whole and nothing is left beside it.
TEST_F(DiskIniStorageTest, AFullDiskLeavesTheOldFileWhole) {
    const std::string old = "[S]\nK=1\n";
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "new file");
        writeFile(file(), old);
        DiskIniStorage disk(
            [&](DiskStep step) { return inPlace && step == DiskStep::CreateTemp ? EACCES : 0; });
        rlimit small = saved;
        small.rlim_cur = 4096;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = disk.replace(file(), "[S]\nK=" + std::string(10000, 'v') + "\n");
        ::setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_FALSE(written);
        EXPECT_EQ(readFile(file()), old);
        EXPECT_EQ(folderListing(), std::vector<std::string>{"corvalo.ini"});
    }
    std::signal(SIGXFSZ, oldHandler);
}

}  // namespace
}  // namespace corvalo::platform
