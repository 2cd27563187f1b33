#include "clipcalc/load.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "clipcalc/clean.h"
#include "clipcalc/parser.h"
#include "platform/error.h"

namespace corvalo::clipcalc {
namespace {

// The fused load must give exactly what cleaning the whole text, adding the
// CR LF and parsing the result give.
void expectSameAsLiteral(const std::string& raw, char decimal, char thousands, bool ignore,
                         bool statementSigns) {
    CalcState s;
    s.localeDecimalSeparator = decimal;
    s.localeThousandSeparator = thousands;
    s.ignoreFirstRowWhenEmpty = ignore;
    s.statementSigns = statementSigns;

    std::string cleaned = cleanClipboardText(raw, decimal, thousands, statementSigns);
    Grid literal;
    literal.emptyCells();
    literal.setRowCount(2);
    literal.setColCount(2);
    std::int64_t literalCount = -1;
    if (!cleaned.empty()) {
        if (cleaned.back() != '\n') cleaned += "\r\n";
        literalCount = parseTable(cleaned, s, literal);
    }

    platform::BigBuffer<char> copy;
    copy.append(raw.data(), raw.size());
    Grid fused;
    fused.emptyCells();
    fused.setRowCount(2);
    fused.setColCount(2);
    const auto count = loadClipboardText(std::move(copy), s, fused);
    ASSERT_EQ(count.value_or(-1), literalCount);
    ASSERT_EQ(fused.colCount(), literal.colCount());
    ASSERT_EQ(fused.rowCount(), literal.rowCount());
    for (int r = 0; r < literal.rowCount(); ++r) {
        for (int c = 0; c < literal.colCount(); ++c) {
            ASSERT_EQ(fused.cell(c, r), literal.cell(c, r)) << "cell " << c << "," << r;
        }
    }
}

TEST(LoadClipboardText, MatchesCleanThenParseOnRandomText) {
    // Characters that matter to cleaning and parsing, and a little noise.
    const std::string alphabet = "0123456789.,-+()$Ee \t\r\n\"';x\xA0";
    std::mt19937 rng(20261206);
    for (int i = 0; i < 20000; ++i) {
        std::string raw(rng() % 40, ' ');
        for (char& c : raw) c = alphabet[rng() % alphabet.size()];
        const bool comma = rng() % 3 == 0;
        SCOPED_TRACE(::testing::PrintToString(raw));
        expectSameAsLiteral(raw, comma ? ',' : '.', comma ? '\xA0' : ',', rng() % 4 != 0,
                            rng() % 2 == 0);
        if (HasFatalFailure()) return;
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
        {"empty", 0, false},
        {"a million rows", 21'300'000, false},
        {"largest taken, 2^31 - 3", 2'147'483'645, false},
        {"one byte more", 2'147'483'646, true},
        {"one row of 2^31 TABs between two numbers", 2'147'483'650, true},
        {"just below 4 GiB", 4'294'967'292, true},
        {"largest size", std::numeric_limits<std::size_t>::max(), true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        if (!r.refused) {
            EXPECT_NO_THROW(checkClipboardTextSize(r.bytes));
            continue;
        }
        try {
            checkClipboardTextSize(r.bytes);
            ADD_FAILURE() << "not refused";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Out of memory");
        }
    }
}

}  // namespace
}  // namespace corvalo::clipcalc
