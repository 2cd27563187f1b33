#include "input.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace corvalo::cli {
namespace {

class ReadInputs : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::writeFile(dir_ / "a", "1\n2");
        testing::writeFile(dir_ / "b", "3\n");
        testing::writeFile(dir_ / "empty", "");
        stdin_ = open((dir_ / "b").c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(stdin_, 0);
    }
    void TearDown() override { close(stdin_); }

    std::string path(const char* name) const { return (dir_ / name).string(); }

    const testing::TempDir dir_;
    int stdin_ = -1;
};

TEST_F(ReadInputs, JoinsInputsWithALineEndWhereOneIsMissing) {
    const struct {
        const char* name;
        std::vector<std::string> names;
        std::string text;
    } rows[] = {
        {"no names is standard input", {}, "3\n"},
        {"a line end after a file that lacks one, then a dash", {path("a"), "-"}, "1\n2\n3\n"},
        {"none added after one that has it", {path("b"), path("a")}, "3\n1\n2"},
        {"an empty file adds nothing", {path("empty"), path("a"), path("empty")}, "1\n2\n"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(lseek(stdin_, 0, SEEK_SET), 0);
        platform::BigBuffer<char> out;
        EXPECT_FALSE(readInputs(r.names, stdin_, 1000, out).has_value());
        EXPECT_EQ(std::string(out.data(), out.size()), r.text);
    }
}

TEST_F(ReadInputs, Failures) {
    const struct {
        const char* name;
        std::vector<std::string> names;
        std::size_t maxBytes;
        std::string failed;
        int error;
    } rows[] = {
        {"missing file", {path("a"), path("nope")}, 1000, path("nope"), ENOENT},
        {"directory", {dir_.path().string()}, 1000, dir_.path().string(), EISDIR},
        {"file beyond the limit", {path("a")}, 2, path("a"), EFBIG},
        {"all inputs beyond the limit", {path("a"), path("b")}, 5, path("b"), EFBIG},
        {"endless stream", {"/dev/zero"}, 3u << 20, "/dev/zero", EFBIG},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        platform::BigBuffer<char> out;
        const auto failure = readInputs(r.names, stdin_, r.maxBytes, out);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->name, r.failed);
        EXPECT_EQ(failure->error, r.error);
    }
}

}  // namespace
}  // namespace corvalo::cli
