#include "cli.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

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

// Runs the command with `input` on a pipe as standard input.
Result invoke(std::vector<std::string> args, const std::string& input,
              platform::LocaleSeparators locale = {'.', ','}) {
    int fds[2];
    EXPECT_EQ(pipe2(fds, O_CLOEXEC), 0);
    EXPECT_LT(input.size(), 60000u);  // fits the pipe: no writer thread needed
    EXPECT_EQ(write(fds[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    close(fds[1]);
    std::ostringstream out, err;
    const int code = run(args, fds[0], locale, out, err);
    close(fds[0]);
    return {code, out.str(), err.str()};
}

TEST(Cli, Results) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string input;
        std::string out;
    };
    const Row rows[] = {
        {"a column is the default", {}, "12\n30\n8\n", "50.00\n"},
        {"row sum", {"--rows"}, "1\t2\t3\n", "6.00\n"},
        {"second column", {"--line", "2"}, "1\t10\n2\t20\n", "30.00\n"},
        {"every row", {"--rows", "--all"}, "1\t10\n2\t20\n", "11.00\n22.00\n"},
        {"every column", {"--all", "--decimals", "0"}, "1\t10\n2\t20\n", "3\n30\n"},
        {"subtract", {"--mode=subtract"}, "100\n30\n20\n", "50.00\n"},
        {"header row kept",
         {"--rows", "--all", "--keep-leading-empty-rows"},
         "Amount\tQty\n1\t2\n",
         "0.00\n3.00\n"},
        {"comma locale by option",
         {"--decimal-separator", ",", "--thousands-separator", "."},
         "1.234,5\n2\n",
         "1.236,50\n"},
        {"narrow no-break space grouping",
         {"--decimal-separator=,", "--thousands-separator", "\xE2\x80\xAF"},
         "1\xE2\x80\xAF"
         "234,5\n1\n",
         "1\xC2\xA0"
         "235,50\n"},
        {"Unicode minus",
         {},
         "10\n\xE2\x88\x92"
         "4\n",
         "6.00\n"},
        {"dash of standard input", {"-"}, "1\n2\n", "3.00\n"},
        {"statement signs",
         {"--statement-signs"},
         "100.00\n25.50-\n\xE2\x80\x93"
         "4\n",
         "70.50\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const Result res = invoke(r.args, r.input);
        EXPECT_EQ(res.code, kOk) << res.err;
        EXPECT_EQ(res.out, r.out);
        EXPECT_EQ(res.err, "");
    }
}

TEST(Cli, LocaleSeparatorsApplyWithoutOptions) {
    const Result res = invoke({}, "1.234,5\n1\n", {',', '.'});
    EXPECT_EQ(res.out, "1.235,50\n");
}

// Messages speak of the input and the options, never of a clipboard or a menu.
TEST(Cli, Messages) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string input;
        int code;
        std::string out;
        std::string err;
    };
    const Row rows[] = {
        {"empty input", {}, "", kMessage, "", "corvalo-cli: the input holds no number\n"},
        {"words only", {}, "abc", kMessage, "", "corvalo-cli: the input holds no number\n"},
        {"one number",
         {},
         "5",
         kMessage,
         "",
         "corvalo-cli: the input holds fewer than two numbers to calculate\n"},
        {"a column of one row",
         {},
         "12\t30\t8\n",
         kMessage,
         "12.00\n",
         "corvalo-cli: each column holds a single number; --rows calculates along the row\n"},
        {"rows of one column",
         {"--rows"},
         "12\n30\n8\n",
         kMessage,
         "12.00\n",
         "corvalo-cli: each row holds a single number; --columns calculates down the "
         "column\n"},
        {"overflow",
         {"--mode", "multiply"},
         "1.0E300\n1.0E300",
         kError,
         "",
         "corvalo-cli: Floating point overflow.\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const Result res = invoke(r.args, r.input);
        EXPECT_EQ(res.code, r.code);
        EXPECT_EQ(res.out, r.out);
        EXPECT_EQ(res.err, r.err);
    }
}

TEST(Cli, BadOptionsNameTheOptionAndReadNoInput) {
    const Result res = invoke({"--mode", "power"}, "1\n2\n");
    EXPECT_EQ(res.code, kUsage);
    EXPECT_EQ(res.out, "");
    EXPECT_EQ(res.err,
              "corvalo-cli: --mode takes add, subtract, multiply or divide, not 'power'\n"
              "Try 'corvalo-cli --help'.\n");
}

TEST(Cli, LineBeyondTheDataIsAUsageError) {
    const Result res = invoke({"--line", "3"}, "1\t2\n3\t4\n");
    EXPECT_EQ(res.code, kUsage);
    EXPECT_EQ(res.err, "corvalo-cli: --line 3: the input has 2 columns\n");
}

TEST(Cli, Statistics) {
    const std::string input = "Name\tAmount\nA\t1,234.50\nB\tn/a\nC\t(34.50)\n";
    const Result line = invoke({"--stats", "--line=2"}, input);
    EXPECT_EQ(line.code, kOk) << line.err;
    EXPECT_EQ(line.out,
              "count\t2\nsum\t1,200.00\nmean\t600.00\nmin\t-34.50\nmax\t1,234.50\n"
              "ignored\t1\n");
    const Result all = invoke({"--stats", "--all", "--decimals", "1"}, input);
    EXPECT_EQ(all.code, kOk) << all.err;
    EXPECT_EQ(all.out,
              "line\tcount\tsum\tmean\tmin\tmax\tignored\n"
              "1\t0\t0.0\t\t\t\t3\n"
              "2\t2\t1,200.0\t600.0\t-34.5\t1,234.5\t1\n");
}

TEST(Cli, HelpAndVersion) {
    const Result help = invoke({"--help"}, "");
    EXPECT_EQ(help.code, kOk);
    EXPECT_EQ(help.out.rfind("Usage: corvalo-cli [OPTION]... [FILE]...\n", 0), 0u);
    const Result version = invoke({"--version"}, "");
    EXPECT_EQ(version.code, kOk);
    EXPECT_EQ(version.out, "corvalo-cli 1.01\n");
}

TEST(Cli, FilesAreReadInOrderAsOneText) {
    const testing::TempDir dir;
    testing::writeFile(dir / "a.tsv", "1\t10\n2\t20");  // no line end at its end
    testing::writeFile(dir / "b.tsv", "3\t30\n");
    const Result res =
        invoke({(dir / "a.tsv").string(), "-", (dir / "b.tsv").string(), "--all"}, "4\t40\n");
    EXPECT_EQ(res.code, kOk) << res.err;
    EXPECT_EQ(res.out, "10.00\n100.00\n");
}

TEST(Cli, UnreadableFileSaysWhyAndPrintsNothing) {
    const testing::TempDir dir;
    testing::writeFile(dir / "a.tsv", "1\n2\n");
    const std::string missing = (dir / "missing.tsv").string();
    const Result res = invoke({(dir / "a.tsv").string(), missing}, "");
    EXPECT_EQ(res.code, kUsage);
    EXPECT_EQ(res.out, "");
    EXPECT_EQ(res.err, "corvalo-cli: " + missing + ": No such file or directory\n");
}

}  // namespace
}  // namespace corvalo::cli
