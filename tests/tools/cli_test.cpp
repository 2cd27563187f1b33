#include "cli.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace corvalo::cli {
namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

Result invoke(std::vector<std::string> args, const std::string& input,
              platform::LocaleSeparators locale = {'.', ','}) {
    platform::BigBuffer<char> buf;
    buf.append(input.data(), input.size());
    std::ostringstream out, err;
    const int code = run(args, std::move(buf), locale, out, err);
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
        {"column sum", {"--columns"}, "12\n30\n8\n", "50.00\n"},
        {"row sum is the default", {}, "1\t2\t3\n", "6.00\n"},
        {"grouped", {"--columns"}, "1000000\n234.5\n", "1,000,234.50\n"},
        {"second column", {"--columns", "--line", "2"}, "1\t10\n2\t20\n", "30.00\n"},
        {"every row", {"--all"}, "1\t10\n2\t20\n", "11.00\n22.00\n"},
        {"every column", {"--columns", "--all", "--decimals", "0"}, "1\t10\n2\t20\n", "3\n30\n"},
        {"divide", {"--columns", "--mode", "divide"}, "100\n0\n5\n2\n", "10.00\n"},
        {"subtract", {"--columns", "--mode", "subtract"}, "100\n30\n20\n", "50.00\n"},
        {"multiply",
         {"--columns", "--mode", "multiply", "--decimals", "4"},
         "1.5\n2\n",
         "3.0000\n"},
        {"header row skipped", {"--columns"}, "Amount\tQty\n1\t2\n3\t4\n", "4.00\n"},
        {"header row kept",
         {"--columns", "--keep-leading-empty-rows"},
         "Amount\tQty\n1\t2\n3\t4\n",
         "4.00\n"},
        {"comma locale by option",
         {"--columns", "--decimal-separator", ",", "--thousands-separator", "."},
         "1.234,5\n2\n",
         "1.236,50\n"},
        {"narrow no-break space grouping",
         {"--columns", "--decimal-separator", ",", "--thousands-separator", "\xE2\x80\xAF"},
         "1\xE2\x80\xAF"
         "234,5\n1\n",
         "1\xC2\xA0"
         "235,50\n"},
        {"Unicode minus",
         {"--columns"},
         "10\n\xE2\x88\x92"
         "4\n",
         "6.00\n"},
        {"CR LF file", {"--columns"}, "1\r\n2\r\n", "3.00\n"},
        {"scientific result rounded", {}, "1.999999E20\t0\n", "2.00E20\n"},
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
    const Result res = invoke({"--columns"}, "1.234,5\n1\n", {',', '.'});
    EXPECT_EQ(res.out, "1.235,50\n");
}

TEST(Cli, Messages) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string input;
        int code;
        std::string out;
        std::string errStart;
    };
    const Row rows[] = {
        {"empty input", {}, "", kMessage, "", "  The Windows Clipboard is currently empty.  \n"},
        {"words only", {}, "abc", kMessage, "", "  The Windows Clipboard is currently empty."},
        {"one number", {}, "5", kMessage, "", "  The Windows Clipboard currently does not"},
        {"one number per row", {}, "12\n30\n", kMessage, "12.00\n", "  Only 1 number was found"},
        {"overflow",
         {"--mode", "multiply"},
         "1.0E300\t1.0E300",
         kError,
         "",
         "corvalo-cli: Floating point overflow.\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const Result res = invoke(r.args, r.input);
        EXPECT_EQ(res.code, r.code);
        EXPECT_EQ(res.out, r.out);
        EXPECT_EQ(res.err.substr(0, r.errStart.size()), r.errStart);
        EXPECT_EQ(res.err.find('\r'), std::string::npos);
    }
}

TEST(Cli, BadOptions) {
    const std::vector<std::vector<std::string>> rows = {
        {"--bogus"},
        {"--line"},
        {"--line", "0"},
        {"--line", "2x"},
        {"--decimals", "-1"},
        {"--mode", "power"},
        {"--decimal-separator", ""},
        {"--decimal-separator", "ab"},
        {"--thousands-separator", "\xE2\x82\xAC"},
    };
    for (const auto& args : rows) {
        SCOPED_TRACE(args[0] + (args.size() > 1 ? " " + args[1] : ""));
        const Result res = invoke(args, "1\t2\n");
        EXPECT_EQ(res.code, kUsage);
        EXPECT_EQ(res.out, "");
        EXPECT_NE(res.err.find("corvalo-cli: "), std::string::npos);
    }
}

TEST(Cli, LineBeyondTheDataIsAUsageError) {
    const Result res = invoke({"--columns", "--line", "3"}, "1\t2\n3\t4\n");
    EXPECT_EQ(res.code, kUsage);
    EXPECT_EQ(res.err, "corvalo-cli: --line 3: the text has 2 columns\n");
}

TEST(Cli, Help) {
    const Result res = invoke({"--help"}, "");
    EXPECT_EQ(res.code, kOk);
    EXPECT_NE(res.out.find("--thousands-separator"), std::string::npos);
}

}  // namespace
}  // namespace corvalo::cli
