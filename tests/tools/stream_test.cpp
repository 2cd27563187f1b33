#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "support/temp_dir.h"

namespace corvalo::cli {
namespace {

// Rows first..last of `pattern`, where "#" stands for the row number and "@" for twice it.
std::string rows(int first, int last, const std::string& pattern) {
    std::string s;
    for (int i = first; i <= last; ++i) {
        for (const char c : pattern) {
            if (c == '#') {
                s += std::to_string(i);
            } else if (c == '@') {
                s += std::to_string(2 * i);
            } else {
                s += c;
            }
        }
    }
    return s;
}

// A long input calculated by columns gives the same in pieces of a few bytes as
// loaded whole: pieces cut at every kind of line, and inputs that must go whole.
TEST(PiecewiseColumn, GivesWhatTheWholeInputGives) {
    const std::string sumOf1000 = "499,500.00\n";  // 0 + 1 + ... + 999
    const struct {
        const char* name;
        std::string args;
        std::string input;
        int code;
        std::string out;
        std::string err;
    } cases[] = {
        {"CR LF rows", "", rows(0, 999, "#\t@\r\n"), kOk, sumOf1000, ""},
        {"second column, LF rows", "--line 2", rows(0, 999, "#\t@\n"), kOk, "999,000.00\n", ""},
        {"header, empty leading rows and text cells", "",
         "\r\n\r\nAmount\tCount\r\n" + rows(1, 300, "#\tn/a @\r\n") + "Total\t\r\n\r\n", kOk,
         "45,150.00\n", ""},
        {"an empty cell late in the column zeroes a product", "--mode multiply",
         rows(1, 200, "1\t#\n") + "\t5\n" + rows(1, 100, "1\t#\n"), kOk, "0.00\n", ""},
        {"a line of words between numbers is a row", "--mode multiply",
         rows(1, 100, "1\t#\n") + "Total\n" + rows(1, 100, "2\t#\n"), kOk, "0.00\n", ""},
        {"the text ends at a NUL", "", rows(0, 99, "1\t#\n") + '\0' + rows(0, 99, "1\t#\n"), kOk,
         "100.00\n", ""},
        {"Unicode minus in every row", "", rows(1, 400, "\u2212#\t@\n"), kOk, "-80,200.00\n", ""},
        {"rows longer than a piece", "",
         rows(0, 499, "#\t@\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\r\n") +
             rows(500, 999, "#\t@\r\n"),
         kOk, sumOf1000, ""},
        {"blank-separated values go whole", "", rows(0, 999, "# @\n"), kOk, sumOf1000, ""},
        {"overflow", "--mode multiply", rows(1, 300, "1.0E300\t#\n"), kError, "",
         "corvalo-cli: Floating point overflow.\n"},
        {"line beyond the data", "--line 4", rows(0, 999, "#\t@\t1\n"), kUsage, "",
         "corvalo-cli: --line 4: the input has 3 columns\n"},
    };
    const testing::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::writeFile(dir / "input", c.input);
        std::istringstream words(c.args);
        std::vector<std::string> args{"--columns"};
        for (std::string w; words >> w;) args.push_back(w);
        for (const std::size_t pieceBytes : {std::size_t{0}, std::size_t{16}, kPieceBytes}) {
            SCOPED_TRACE(pieceBytes);
            const int fd = open((dir / "input").c_str(), O_RDONLY | O_CLOEXEC);
            ASSERT_GE(fd, 0);
            std::ostringstream out, err;
            EXPECT_EQ(run(args, fd, {'.', ','}, out, err, pieceBytes), c.code);
            close(fd);
            EXPECT_EQ(out.str(), c.out);
            EXPECT_EQ(err.str(), c.err);
        }
    }
}

}  // namespace
}  // namespace corvalo::cli
