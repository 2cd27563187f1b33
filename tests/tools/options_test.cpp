#include "options.h"

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

namespace corvalo::cli {
namespace {

// How file names are told from options; what each option does is Cli's.
TEST(ParseOptions, FilesAndDirection) {
    constexpr auto kCols = clipcalc::TabulationStyle::UsingColumns;
    constexpr auto kRows = clipcalc::TabulationStyle::UsingRows;
    const struct {
        const char* name;
        std::vector<std::string> args;
        clipcalc::TabulationStyle style;
        std::vector<std::string> files;
    } rows[] = {
        {"last direction wins", {"--rows", "--columns"}, kCols, {}},
        {"files among options", {"b", "-", "--rows", "a"}, kRows, {"b", "-", "a"}},
        {"after -- only files", {"--", "--rows", "-x"}, kCols, {"--rows", "-x"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const Options o = parseOptions(r.args);
        EXPECT_EQ(o.style, r.style);
        EXPECT_EQ(o.files, r.files);
    }
}

TEST(ParseOptions, Refused) {
    const struct {
        const char* name;
        std::string arg;
        std::string why;
    } rows[] = {
        {"unknown", "--bogus", "unknown option '--bogus'"},
        {"unknown with value", "--bogus=1", "unknown option '--bogus'"},
        {"flag with value", "--columns=2", "--columns takes no value"},
        {"missing value", "--line", "--line needs a value"},
        {"line 0", "--line=0", "--line takes a whole number from 1 up, not '0'"},
        {"line with letters", "--line=2x", "--line takes a whole number from 1 up, not '2x'"},
        {"empty value", "--line=", "--line takes a whole number from 1 up, not ''"},
        {"mode", "--mode=power", "--mode takes add, subtract, multiply or divide, not 'power'"},
        {"two characters", "--decimal-separator=ab",
         "--decimal-separator takes one character, not 'ab'"},
        {"no 8-bit form", "--thousands-separator=\u20AC",
         "--thousands-separator takes one character, not '\u20AC'"},
        {"tab separator", "--thousands-separator=\t",
         "--thousands-separator takes one character, not '\t'"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        try {
            parseOptions(std::vector<std::string>{r.arg});
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
        const bool needsValue =
            line[after] == ' ' && std::isupper(static_cast<unsigned char>(line[after + 1]));
        std::vector<std::string> args = {option};
        if (needsValue) args.push_back(option == "--mode" ? "add" : "1");
        EXPECT_NO_THROW(parseOptions(args));
        ++listed;
    }
    EXPECT_EQ(listed, 13);
}

}  // namespace
}  // namespace corvalo::cli
