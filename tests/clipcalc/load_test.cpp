#include "clipcalc/load.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/error.h"
#include "support/load_reference.h"

namespace corvalo::clipcalc {
namespace {

std::string repeated(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// The one-pass load gives exactly what cleaning the whole text, adding the CR LF
// and parsing the result give (the fuzz target tries random texts the same way).
TEST(LoadClipboardText, MatchesCleanThenParse) {
    struct Row {
        const char* name;
        std::string raw;
        char decimal = '.';
        char thousands = ',';
        bool ignore = true;
        bool statementSigns = false;
    };
    const Row rows[] = {
        {"dollar, grouping, parentheses", "$1,234.50\t(7.25)\r\n-$3 \r\nUSD 12\t12%"},
        {"quoted values", "\"1,000\",\"2,500.50\"\r\n'1';'2';'3'\r\n\"1\" , \"2\""},
        {"header dropped", "Price\tQty\r\n2\t3\r\n4\t5\r\n"},
        {"header kept", "Price\tQty\r\n2\t3\r\n4\t5\r\n", '.', ',', false},
        {"dropped row overwritten", "\t\t\t\r\n1\t2\r\n"},
        {"LF inside", "1\n2\nabc"},
        {"NULs", std::string("1\0\t2\0\r\n\09\09", 11)},
        {"high bytes", "\xFF\xFE\x80\t\x81\r\n5\t\xA0"},
        {"exponents, signs and points", "1.5e3\t2.5E-03\t15e3\t2.5E+x\r\n--5\t.-5\t1.2.3\t-\t."},
        {"statement signs", "1,234.50-\t75- EUR\r\n\"12.5-\"\t12-x\r\n.5-", '.', ',', true, true},
        {"comma locale", "1.234,5\t-0,5\r\n,5\t1,5.5", ',', '.'},
        {"empty", ""},
        {"cells across many blocks", repeated("12345.6789\t-1\t", 40) + "\r\n" +
                                         repeated("Total amount due\t(1,234.50)\r\n", 20)},
        {"a token longer than two blocks",
         std::string(200, 'x') + "\t5\r\n" + std::string(150, '9') + "\t1\r\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CalcState s;
        s.localeDecimalSeparator = r.decimal;
        s.localeThousandSeparator = r.thousands;
        s.ignoreFirstRowWhenEmpty = r.ignore;
        s.statementSigns = r.statementSigns;

        Grid literal;
        const std::int64_t literalCount = testing::cleanThenParse(r.raw, s, literal);
        Grid fused;
        testing::startGrid(fused);
        const auto count =
            loadClipboardText(platform::bigText(r.raw.data(), r.raw.size()), s, fused);
        ASSERT_EQ(count.value_or(-1), literalCount);
        ASSERT_EQ(testing::gridDifference(fused, literal), "");
    }
}

// Column and row numbers are signed 32-bit: a row of 2^31 TABs would count its
// last column as 2^31. The guard is checked by size alone, so no test needs
// gigabytes: a row of n TABs needs at least n bytes, and its last column number
// plus one, n + 2, must stay within 2^31 - 1; hence at most 2^31 - 3 bytes.
TEST(CheckClipboardTextSize, RefusesTextsWhoseCountsCouldOverflow) {
    struct Row {
        const char* name;
        std::size_t bytes;
        bool refused;
    };
    const Row rows[] = {
        {"largest taken, 2^31 - 3", 2'147'483'645, false},
        {"one byte more", 2'147'483'646, true},
        {"largest size", std::numeric_limits<std::size_t>::max(), true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        if (r.refused) {
            EXPECT_THAT([&] { checkClipboardTextSize(r.bytes); },
                        ::testing::ThrowsMessage<Error>(::testing::StrEq("Out of memory")));
        } else {
            EXPECT_NO_THROW(checkClipboardTextSize(r.bytes));
        }
    }
}

}  // namespace
}  // namespace corvalo::clipcalc
