#include "cli.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace corvalo::cli {
namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

// Runs the command with `args` (split at blanks) and `input` on a pipe as standard input.
Result invoke(const std::string& args, const std::string& input,
              platform::LocaleSeparators locale = {'.', ','}) {
    std::istringstream words(args);
    const std::vector<std::string> argv{std::istream_iterator<std::string>(words), {}};
    int fds[2];
    EXPECT_EQ(pipe2(fds, O_CLOEXEC), 0);
    EXPECT_LT(input.size(), 60000u);  // fits the pipe: no writer thread needed
    EXPECT_EQ(write(fds[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    close(fds[1]);
    std::ostringstream out, err;
    const int code = run(argv, fds[0], locale, out, err);
    close(fds[0]);
    return {code, out.str(), err.str()};
}

// Each option reaches the calculation, and the input and the result pass as UTF-8.
TEST(Cli, Results) {
    const std::string stats = "Name\tAmount\nA\t1,234.50\nB\tn/a\nC\t(34.50)\n";
    const struct {
        const char* name;
        const char* args;
        std::string input;
        std::string out;
    } rows[] = {
        {"a column is the default", "", "12\n30\n8\n", "50.00\n"},
        {"second column divided", "--line 2 --mode divide", "1\t10\n2\t40\n", "0.25\n"},
        {"every row", "--rows --all", "1\t10\n2\t20\n", "11.00\n22.00\n"},
        {"every column", "--all --decimals 0", "1\t10\n2\t20\n", "3\n30\n"},
        {"subtract", "--mode=subtract", "100\n30\n20\n", "50.00\n"},
        {"header row kept", "--rows --all --keep-leading-empty-rows", "A\tB\n1\t2\n",
         "0.00\n3.00\n"},
        {"narrow no-break space", "--decimal-separator=, --thousands-separator=\u202F",
         "1\u202F234,5\n1\n", "1\u00A0235,50\n"},
        {"Unicode minus", "", "10\n\u22124\n", "6.00\n"},
        {"statement signs", "--statement-signs", "100.00\n25.50-\n\u20134\n", "70.50\n"},
        {"statistics of one line", "--stats --line=2", stats,
         "count\t2\nsum\t1,200.00\nmean\t600.00\nmin\t-34.50\nmax\t1,234.50\nignored\t1\n"},
        {"statistics of every line", "--stats --all --decimals 1", stats,
         "line\tcount\tsum\tmean\tmin\tmax\tignored\n1\t0\t0.0\t\t\t\t3\n"
         "2\t2\t1,200.0\t600.0\t-34.5\t1,234.5\t1\n"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const Result res = invoke(r.args, r.input);
        EXPECT_EQ(res.code, kOk) << res.err;
        EXPECT_EQ(res.out, r.out);
        EXPECT_EQ(res.err, "");
    }
}

TEST(Cli, LocaleSeparatorsApplyWithoutOptions) {
    EXPECT_EQ(invoke("", "1.234,5\n1\n", {',', '.'}).out, "1.235,50\n");
}

// Messages speak of the input and the options, never of a clipboard or a menu.
TEST(Cli, Messages) {
    const testing::TempDir dir;
    testing::writeFile(dir / "a.tsv", "1\n2\n");
    const std::string missing = (dir / "missing.tsv").string();
    const struct {
        const char* name;
        std::string args;
        std::string input;
        int code;
        std::string out;
        std::string err;  // after "corvalo-cli: "
    } rows[] = {
        {"empty input", "", "", kMessage, "", "the input holds no number\n"},
        {"one number", "", "5", kMessage, "",
         "the input holds fewer than two numbers to calculate\n"},
        {"a column of one row", "", "12\t30\t8\n", kMessage, "12.00\n",
         "each column holds a single number; --rows calculates along the row\n"},
        {"rows of one column", "--rows", "12\n30\n8\n", kMessage, "12.00\n",
         "each row holds a single number; --columns calculates down the column\n"},
        {"overflow", "--mode multiply", "1.0E300\n1.0E300", kError, "",
         "Floating point overflow.\n"},
        {"bad value after a blank", "--decimals -1", "1\n2\n", kUsage, "",
         "--decimals takes a whole number from 0 up, not '-1'\nTry 'corvalo-cli --help'.\n"},
        {"line beyond the data", "--line 3", "1\t2\n3\t4\n", kUsage, "",
         "--line 3: the input has 2 columns\n"},
        {"unreadable file", (dir / "a.tsv").string() + " " + missing, "", kUsage, "",
         missing + ": No such file or directory\n"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const Result res = invoke(r.args, r.input);
        EXPECT_EQ(res.code, r.code);
        EXPECT_EQ(res.out, r.out);
        EXPECT_EQ(res.err, "corvalo-cli: " + r.err);
    }
}

TEST(Cli, HelpAndVersion) {
    for (const char* help : {"--help", "-h"}) {
        const Result res = invoke(help, "");
        EXPECT_EQ(res.code, kOk);
        EXPECT_EQ(res.out.rfind("Usage: corvalo-cli [OPTION]... [FILE]...\n", 0), 0u) << help;
    }
    EXPECT_EQ(invoke("--version", "").out, "corvalo-cli 1.01\n");
}

}  // namespace
}  // namespace corvalo::cli
