#include "clipcalc/statistics.h"

#include <gtest/gtest.h>

#include <string>

#include "clipcalc/calculate.h"
#include "clipcalc/load.h"
#include "platform/error.h"

namespace corvalo::clipcalc {
namespace {

// The grid a paste of `text` gives.
Grid loaded(const std::string& text, const CalcState& s) {
    Grid g;
    g.emptyCells();
    g.setRowCount(2);
    g.setColCount(2);
    platform::BigBuffer<char> buf;
    buf.append(text.data(), text.size());
    loadClipboardText(std::move(buf), s, g);
    return g;
}

CalcState chosen(TabulationStyle style, std::int32_t line) {
    CalcState s;
    s.tabulationStyle = style;
    s.currentColumn = style == TabulationStyle::UsingColumns ? line : 1;
    s.currentRow = style == TabulationStyle::UsingRows ? line : 1;
    return s;
}

TEST(LineStatistics, Table) {
    constexpr auto kColumns = TabulationStyle::UsingColumns;
    constexpr auto kRows = TabulationStyle::UsingRows;
    struct Row {
        const char* name;
        std::string text;
        TabulationStyle style;
        std::int32_t line;
        LineStatistics want;
    };
    const Row rows[] = {
        {"signs, parentheses, exponent, words and an empty cell",
         "Amount\r\n12\r\n-3.5\r\nTotal\r\n(2.25)\r\nn/a\r\n\r\n1.5e2\r\n",
         kColumns,
         1,
         {4, 156.25, 39.0625, -3.5, 150, 2}},
        {"along a row", "3\tx\t-1\t\t4.5\r\n", kRows, 1, {3, 6.5, 6.5 / 3, -1, 4.5, 1}},
        {"second row", "1\t2\r\n$1,000.50\t(0.50)\r\n", kRows, 2, {2, 1000, 500, -0.5, 1000.5, 0}},
        {"no number in the line", "1\tName\r\n2\tn/a\r\n3\t\r\n", kColumns, 2, {0, 0, 0, 0, 0, 2}},
        {"a lone minus is no number", "5\r\n-\r\n7\r\n", kColumns, 1, {2, 12, 6, 5, 7, 1}},
        {"beyond the range of a double", "1.0E400\r\n2\r\n", kColumns, 1, {1, 2, 2, 2, 2, 1}},
        {"a word joined to a number by LF", "Total\n5\r\n1\r\n", kColumns, 1, {2, 6, 3, 1, 5, 0}},
        {"unmappable character", "4\r\n?\r\n4\r\n", kColumns, 1, {2, 8, 4, 4, 4, 1}},
        {"a dropped header row leaves no mark",
         "Item\tAmount\r\n\t2\r\n5\t3\r\n",
         kColumns,
         1,
         {1, 5, 5, 5, 5, 0}},
        {"zero is a number", "0\r\n-2\r\n", kColumns, 1, {2, -2, -1, -2, 0, 0}},
        {"a row beyond the data", "1\t2\r\n", kRows, 2, {0, 0, 0, 0, 0, 0}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CalcState s = chosen(r.style, r.line);
        const Grid g = loaded(r.text, s);
        const auto expectWanted = [&r](const LineStatistics& got) {
            EXPECT_EQ(got.count, r.want.count);
            EXPECT_DOUBLE_EQ(got.sum, r.want.sum);
            EXPECT_DOUBLE_EQ(got.mean, r.want.mean);
            EXPECT_EQ(got.min, r.want.min);
            EXPECT_EQ(got.max, r.want.max);
            EXPECT_EQ(got.ignored, r.want.ignored);
            EXPECT_FALSE(got.sumOverflow);
        };
        const LineStatistics got = lineStatistics(s, g);
        expectWanted(got);
        s.mathMode = MathMode::Addition;
        calculateLine(s, g);
        EXPECT_EQ(got.sum, s.lastResult);
        // The result's own walk gives the same figures, and its result, in every mode.
        for (const MathMode mode : {MathMode::Addition, MathMode::Subtraction,
                                    MathMode::Multiplication, MathMode::Division}) {
            SCOPED_TRACE(static_cast<int>(mode));
            s.mathMode = mode;
            calculateLine(s, g);
            const double alone = s.lastResult;
            s.lastResult = -7;
            LineStatistics walked;
            calculateLine(s, g, walked);
            expectWanted(walked);
            EXPECT_EQ(s.lastResult, alone);
        }
    }
}

TEST(LineStatistics, OverflowingSumIsTheAdditionError) {
    CalcState s = chosen(TabulationStyle::UsingColumns, 1);
    const Grid g = loaded("1.0E308\r\n1.0E308\r\n", s);
    try {
        lineStatistics(s, g);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Floating point overflow");
    }
    // Beside a result that stays in range (1e308 / 1e308), the sum's overflow is a flag.
    s.mathMode = MathMode::Division;
    LineStatistics walked;
    calculateLine(s, g, walked);
    EXPECT_EQ(s.lastResult, 1.0);
    EXPECT_TRUE(walked.sumOverflow);
    EXPECT_EQ(walked.count, 2);
}

TEST(LineStatistics, CellsWrittenByHandAreReadCellByCell) {
    Grid g;
    g.putCell("2", 1, 1);
    g.putCell("abc", 1, 2);
    g.putCell("  ", 1, 3);
    g.putCell("-4", 1, 4);
    g.putCell("1", 1, 0 + 1);  // over a stored cell: kept aside, so no arena walk
    const LineStatistics got = lineStatistics(chosen(TabulationStyle::UsingColumns, 1), g);
    EXPECT_EQ(got.count, 2);
    EXPECT_EQ(got.sum, -3);
    EXPECT_EQ(got.ignored, 1);  // the blanks are an empty cell
}

TEST(StatisticsTexts, FormattedLikeTheResult) {
    CalcState s;
    s.setResultDecimals(1);
    s.localeDecimalSeparator = ',';
    s.localeThousandSeparator = '.';
    const LineStatistics some{1234, 5678.25, 4.6, -1.25, 10, 2};
    EXPECT_EQ(statisticsTexts(s, some),
              (std::array<std::string, 6>{"1.234", "5.678,3", "4,6", "-1,3", "10,0", "2"}));
    const LineStatistics none{0, 0, 0, 0, 0, 3};
    EXPECT_EQ(statisticsTexts(s, none), (std::array<std::string, 6>{"0", "0,0", "", "", "", "3"}));
}

}  // namespace
}  // namespace corvalo::clipcalc
