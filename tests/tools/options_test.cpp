#include "options.h"

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

namespace corvalo::cli {
namespace {

using clipcalc::MathMode;
using clipcalc::TabulationStyle;

TEST(ParseOptions, ValuesAndFiles) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        TabulationStyle style;
        MathMode mode;
        std::int32_t line;
        std::vector<std::string> files;
    };
    using enum MathMode;
    constexpr auto kCols = TabulationStyle::UsingColumns;
    constexpr auto kRows = TabulationStyle::UsingRows;
    const Row rows[] = {
        {"nothing given", {}, kCols, Addition, 1, {}},
        {"rows", {"--rows"}, kRows, Addition, 1, {}},
        {"last direction wins", {"--rows", "--columns"}, kCols, Addition, 1, {}},
        {"value as next word", {"--line", "3", "--mode", "divide"}, kCols, Division, 3, {}},
        {"value after '='", {"--line=3", "--mode=multiply"}, kCols, Multiplication, 3, {}},
        {"files and dash", {"b", "-", "--rows", "a"}, kRows, Addition, 1, {"b", "-", "a"}},
        {"after -- only files", {"--", "--rows", "-x"}, kCols, Addition, 1, {"--rows", "-x"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const Options o = parseOptions(r.args);
        EXPECT_EQ(o.style, r.style);
        EXPECT_EQ(o.mode, r.mode);
        EXPECT_EQ(o.line, r.line);
        EXPECT_EQ(o.files, r.files);
    }
}

TEST(ParseOptions, Flags) {
    const std::vector<std::string> args = {
        "--all", "--stats", "--statement-signs", "--keep-leading-empty-rows", "--version", "-h"};
    const Options o = parseOptions(args);
    EXPECT_TRUE(o.all);
    EXPECT_TRUE(o.stats);
    EXPECT_TRUE(o.statementSigns);
    EXPECT_TRUE(o.keepLeadingEmptyRows);
    EXPECT_TRUE(o.version);
    EXPECT_TRUE(o.help);
    const Options none = parseOptions({});
    EXPECT_FALSE(none.all || none.stats || none.statementSigns || none.keepLeadingEmptyRows ||
                 none.version || none.help);
}

TEST(ParseOptions, Separators) {
    const std::vector<std::string> args = {"--decimal-separator=,", "--thousands-separator",
                                           "\xE2\x80\xAF"};
    const Options o = parseOptions(args);
    EXPECT_EQ(o.decimalSeparator, ",");
    EXPECT_EQ(o.thousandsSeparator, "\xA0");  // the 8-bit no-break space
}

TEST(ParseOptions, Refused) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string why;
    };
    const Row rows[] = {
        {"unknown", {"--bogus"}, "unknown option '--bogus'"},
        {"unknown short", {"-x"}, "unknown option '-x'"},
        {"unknown with value", {"--bogus=1"}, "unknown option '--bogus'"},
        {"flag with value", {"--columns=2"}, "--columns takes no value"},
        {"missing value", {"--line"}, "--line needs a value"},
        {"line 0", {"--line", "0"}, "--line takes a whole number from 1 up, not '0'"},
        {"line with letters", {"--line=2x"}, "--line takes a whole number from 1 up, not '2x'"},
        {"empty value", {"--line="}, "--line takes a whole number from 1 up, not ''"},
        {"negative decimals",
         {"--decimals", "-1"},
         "--decimals takes a whole number from 0 up, not '-1'"},
        {"mode",
         {"--mode", "power"},
         "--mode takes add, subtract, multiply or divide, not 'power'"},
        {"empty separator",
         {"--decimal-separator", ""},
         "--decimal-separator takes one character, not ''"},
        {"two characters",
         {"--decimal-separator", "ab"},
         "--decimal-separator takes one character, not 'ab'"},
        {"no 8-bit form",
         {"--thousands-separator", "\xE2\x82\xAC"},
         "--thousands-separator takes one character, not '\xE2\x82\xAC'"},
        {"tab separator",
         {"--thousands-separator", "\t"},
         "--thousands-separator takes one character, not '\t'"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        try {
            parseOptions(r.args);
            ADD_FAILURE() << "taken";
        } catch (const UsageError& e) {
            EXPECT_EQ(std::string(e.what()), r.why);
        }
    }
}

// Every option of the help text is one that the parser takes.
TEST(UsageText, ListsOnlyOptionsThatAreTaken) {
    std::istringstream lines(usageText());
    int listed = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  --", 0) != 0) continue;
        const std::string option = line.substr(2, line.find(' ', 2) - 2);
        SCOPED_TRACE(option);
        // "  --line N ...": a value in capitals follows after one blank.
        const std::size_t after = option.size() + 2;
        const bool needsValue = line[after] == ' ' && line[after + 1] != ' ' &&
                                std::isupper(static_cast<unsigned char>(line[after + 1]));
        std::vector<std::string> args = {option};
        if (needsValue) args.push_back(option == "--mode" ? "add" : "1");
        EXPECT_NO_THROW(parseOptions(args));
        ++listed;
    }
    EXPECT_EQ(listed, 13);
}

}  // namespace
}  // namespace corvalo::cli
