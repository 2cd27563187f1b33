#include "clipcalc/clean.h"

#include <gtest/gtest.h>

#include <string>

namespace corvalo::clipcalc {
namespace {

struct CleanRow {
    const char* name;
    std::string in;
    std::string out;
    char decimal = '.';
    char thousands = ',';
    bool statementSigns = false;
};

TEST(CleanClipboardText, Table) {
    const CleanRow rows[] = {
        {"mixed cells", "  1,234.50\t(7.25)\t-$3 \r\n", "1234.50\t-7.25\t-3"},
        {"blank runs", "10 20   30", "10\t20\t30"},
        {"double quoted, commas", "\"1\",\"2\",\"3\"", "1\t2\t3"},
        {"apostrophes, semicolons", "'1';'2';'3'", "1\t2\t3"},
        {"quoted with blanks", "\"1\" , \"2\"", "1\t2"},
        {"commas are grouping", "1,2,3", "123"},
        {"leading TAB trimmed", "\t5\t6\r\n7\t8", "5\t6\r\n7\t8"},
        {"words become empty", "Price\tQty", "\t"},
        {"only blanks", " \r\n\t ", ""},
        {"LF only lines", "1\n2", "1\n2"},
        {"blanks beside line ends", "1 \r\n 2", "1\t\r\n\t2"},
        {"comma locale", "1.234,5\t-0,5", "1234,5\t-0,5", ',', '.'},
        {"no-break space grouping", "1\240234,5\t7", "1234,5\t7", ',', '\240'},
        {"statement signs", "100.00-\t20\r\n5-\r\n", "-100.00\t20\r\n-5", '.', ',', true},
    };
    for (const CleanRow& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(cleanClipboardText(r.in, r.decimal, r.thousands, r.statementSigns), r.out);
    }
}

TEST(CleanNumber, Table) {
    const CleanRow rows[] = {
        {"dollar grouping", "$1,234.50", "1234.50"},
        {"parentheses", "(7.25)", "-7.25"},
        {"minus dollar", "-$12", "-12"},
        {"blank cancels sign", "- 12", "12"},
        {"exponent needs a fraction", "15e3", "15"},
        {"leading point", ".5", "0.5"},
        {"minus leading point", "-.5", "-0.5"},
        {"second point", "1.2.3", "1.2"},
        {"exponent", "1.5e3", "1.5E3"},
        {"bare E dropped", "2.5E", "2.5"},
        {"E and sign dropped", "2.5E+", "2.5"},
        {"E sign junk dropped", "2.5E+x", "2.5"},
        {"negative exponent kept", "2.5E-03", "2.5E-03"},
        {"E then junk", "2.5Ex", "2.5"},
        {"point then minus restarts", ".-5", "-5"},
        {"point then junk resets", ".x5", "5"},
        {"repeated points", "..5", "0.5"},
        {"comma locale", "1.234,5", "1234,5", ',', '.'},
        {"comma locale leading comma", ",5", "0,5", ',', '.'},
        {"same separators: decimal wins", "1,5", "1,5", ',', ','},
        {"trailing minus ignored without statement signs", "75-", "75"},
        {"signs: trailing minus at the end", "1,234.50-", "-1234.50", '.', ',', true},
        {"signs: trailing minus before a blank", "75- EUR", "-75", '.', ',', true},
        {"signs: trailing minus before a quote", "12.5-\"", "-12.5", '.', ',', true},
        {"signs: trailing minus after an exponent", "1.5E3-", "-1.5E3", '.', ',', true},
        {"signs: a range stays a range", "1-5", "1", '.', ',', true},
        {"signs: minus after the point", "12.-", "12.", '.', ',', true},
        {"signs: already negative stays negative", "-12-", "-12", '.', ',', true},
    };
    for (const CleanRow& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(cleanNumber(r.in, r.decimal, r.thousands, r.statementSigns), r.out);
    }
}

}  // namespace
}  // namespace corvalo::clipcalc
