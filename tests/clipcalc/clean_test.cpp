#include "clipcalc/clean.h"

#include <gtest/gtest.h>

#include <string>

namespace corvalo::clipcalc {
namespace {

struct Row {
    const char* name;
    std::string in;
    std::string out;
    char decimal = '.';
    char thousands = ',';
};

TEST(CleanClipboardText, Table) {
    const Row rows[] = {
        {"mixed cells", "  1,234.50\t(7.25)\t-$3 \r\n", "1234.50\t-7.25\t-3"},
        {"blank runs", "10 20   30", "10\t20\t30"},
        {"double quoted, commas", "\"1\",\"2\",\"3\"", "1\t2\t3"},
        {"apostrophes, semicolons", "'1';'2';'3'", "1\t2\t3"},
        {"quoted with blanks", "\"1\" , \"2\"", "1\t2"},
        {"commas are grouping", "1,2,3", "123"},
        {"semicolons select quotes", "1;2;3", "1"},
        {"leading TAB trimmed", "\t5\t6\r\n7\t8", "5\t6\r\n7\t8"},
        {"rows keep CR LF", "1\r\n2\r\n3", "1\r\n2\r\n3"},
        {"empty cells survive", "1\t\t2", "1\t\t2"},
        {"words become empty", "Price\tQty", "\t"},
        {"no number at all", "abc", ""},
        {"only blanks", " \r\n\t ", ""},
        {"LF only lines", "1\n2", "1\n2"},
        {"blanks beside line ends", "1 \r\n 2", "1\t\r\n\t2"},
        {"comma locale", "1.234,5\t-0,5", "1234,5\t-0,5", ',', '.'},
        {"comma locale, dot is grouping", "1.234.567", "1234567", ',', '.'},
        {"no-break space grouping",
         "1\xA0"
         "234,5\t7",
         "1234,5\t7", ',', '\xA0'},
        {"apostrophe grouping (Swiss)", "1'234.50\t2'000", "1234.50\t2000", '.', '\''},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(cleanClipboardText(r.in, r.decimal, r.thousands), r.out);
    }
}

TEST(CleanNumber, Table) {
    const Row rows[] = {
        {"plain", "12", "12"},
        {"dollar grouping", "$1,234.50", "1234.50"},
        {"parentheses", "(7.25)", "-7.25"},
        {"minus dollar", "-$12", "-12"},
        {"parenthesised dollar", "($12)", "-12"},
        {"blank cancels sign", "- 12", "12"},
        {"currency word skipped", "USD 12", "12"},
        {"blank ends number", "12 345", "12"},
        {"percent ends number", "12%", "12"},
        {"leading point", ".5", "0.5"},
        {"minus leading point", "-.5", "-0.5"},
        {"double minus", "--5", "-5"},
        {"second point", "1.2.3", "1.2"},
        {"exponent", "1.5e3", "1.5E3"},
        {"exponent needs a fraction", "15e3", "15"},
        {"bare E dropped", "2.5E", "2.5"},
        {"E and sign dropped", "2.5E+", "2.5"},
        {"E sign junk dropped", "2.5E+x", "2.5"},
        {"negative exponent kept", "2.5E-03", "2.5E-03"},
        {"E then junk", "2.5Ex", "2.5"},
        {"point then minus restarts", ".-5", "-5"},
        {"point then junk resets", ".x5", "5"},
        {"sign then junk resets", "-x5", "5"},
        {"repeated points", "..5", "0.5"},
        {"sign point", "-.x", ""},
        {"only signs", "---", "-"},
        {"empty", "", ""},
        {"grouping after point stops", "1.5,5", "1.5"},
        {"integer point", "7.", "7."},
        {"comma locale", "1.234,5", "1234,5", ',', '.'},
        {"comma locale leading comma", ",5", "0,5", ',', '.'},
        {"same separators: decimal wins", "1,5", "1,5", ',', ','},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(cleanNumber(r.in, r.decimal, r.thousands), r.out);
    }
}

TEST(TextHelpers, CountRemoveCollapse) {
    EXPECT_EQ(countChar("a\"b\"c\"", '"'), 3u);
    EXPECT_EQ(countChar("", 'x'), 0u);

    std::string s = "  a  b c  ";
    removeChar(s, ' ');
    EXPECT_EQ(s, "abc");

    s = "  a  b c   ";
    collapseRuns(s, ' ');
    EXPECT_EQ(s, " a b c ");

    s = "xxx";
    collapseRuns(s, 'x');
    EXPECT_EQ(s, "x");
}

// Each token as read without and with statement signs; with them off, every
// row reads as it always has.
TEST(CleanNumber, StatementSigns) {
    struct SignRow {
        const char* name;
        std::string in;
        std::string off;
        std::string on;
    };
    const SignRow rows[] = {
        {"trailing minus at the end", "1,234.50-", "1234.50", "-1234.50"},
        {"trailing minus before a blank", "75- EUR", "75", "-75"},
        {"trailing minus before a quote", "\"12.5-\"", "12.5", "-12.5"},
        {"trailing minus before an apostrophe", "'8-'", "8", "-8"},
        {"trailing minus after an exponent", "1.5E3-", "1.5E3", "-1.5E3"},
        {"a range stays a range", "1-5", "1", "1"},
        {"minus before a letter", "12-x", "12", "12"},
        {"minus after the point", "12.-", "12.", "12."},
        {"minus after grouping", "1,-", "1", "1"},
        {"already negative stays negative", "-12-", "-12", "-12"},
        {"parenthesised stays negative", "(12-)", "-12", "-12"},
        {"minus before a number as always", "-12", "-12", "-12"},
        {"two trailing minuses", "12--", "12", "12"},
        {"leading point", ".5-", "0.5", "-0.5"},
    };
    for (const SignRow& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(cleanNumber(r.in, '.', ',', false), r.off);
        EXPECT_EQ(cleanNumber(r.in, '.', ',', true), r.on);
    }
}

TEST(CleanClipboardText, StatementSigns) {
    EXPECT_EQ(cleanClipboardText("100.00-\t20\r\n5-\r\n", '.', ',', true), "-100.00\t20\r\n-5");
    EXPECT_EQ(cleanClipboardText("10- 20 30-", '.', ',', true), "-10\t20\t-30");
    EXPECT_EQ(cleanClipboardText("\"1.234,50-\";\"2\"", ',', '.', true), "-1234,50\t2");
}

}  // namespace
}  // namespace corvalo::clipcalc
