#include "clipcalc/statistics.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "clipcalc/calculate.h"
#include "clipcalc/load.h"
#include "platform/error.h"
#include "support/load_reference.h"

namespace corvalo::clipcalc {
namespace {

// The grid a paste of `text` gives.
Grid loaded(const std::string& text, const CalcState& s) {
    Grid g;
    testing::startGrid(g);
    loadClipboardText(platform::bigText(text.data(), text.size()), s, g);
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
    constexpr auto kCols = TabulationStyle::UsingColumns;
    constexpr auto kRows = TabulationStyle::UsingRows;
    struct Row {
        const char* name;
        std::string text;
        TabulationStyle style;
        std::int32_t line;
        LineStatistics want;
    };
    const Row rows[] = {
        {"parentheses, a word", "12\r\nn/a\r\n(2.5)\r\n", kCols, 1, {2, 9.5, 4.75, -2.5, 12, 1}},
        {"along a row", "3\tx\t-1\t\t4.5\r\n", kRows, 1, {3, 6.5, 6.5 / 3, -1, 4.5, 1}},
        {"no number in the line", "1\tName\r\n2\tn/a\r\n3\t\r\n", kCols, 2, {0, 0, 0, 0, 0, 2}},
        {"a lone minus is no number", "5\r\n-\r\n7\r\n", kCols, 1, {2, 12, 6, 5, 7, 1}},
        {"beyond the range of a double", "1.0E400\r\n2\r\n", kCols, 1, {1, 2, 2, 2, 2, 1}},
        {"a word joined to a number by LF", "Total\n5\r\n1\r\n", kCols, 1, {2, 6, 3, 1, 5, 0}},
        {"dropped header leaves no mark", "Item\r\n\t2\r\n5\t3\r\n", kCols, 1, {1, 5, 5, 5, 5, 0}},
        {"zero is a number", "0\r\n-2\r\n", kCols, 1, {2, -2, -1, -2, 0, 0}},
        {"a row beyond the data", "1\t2\r\n", kRows, 2, {0, 0, 0, 0, 0, 0}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CalcState s = chosen(r.style, r.line);
        const Grid g = loaded(r.text, s);
        s.mathMode = MathMode::Addition;
        LineStatistics walked;  // the result's own walk gives the same figures
        calculateLine(s, g, walked);
        EXPECT_DOUBLE_EQ(s.lastResult, r.want.sum);
        for (const LineStatistics& got : {lineStatistics(s, g), walked}) {
            EXPECT_EQ(got.count, r.want.count);
            EXPECT_DOUBLE_EQ(got.sum, r.want.sum);
            EXPECT_DOUBLE_EQ(got.mean, r.want.mean);
            EXPECT_EQ(got.min, r.want.min);
            EXPECT_EQ(got.max, r.want.max);
            EXPECT_EQ(got.ignored, r.want.ignored);
            EXPECT_FALSE(got.sumOverflow);
        }
    }
}

TEST(LineStatistics, OverflowingSumIsTheAdditionError) {
    CalcState s = chosen(TabulationStyle::UsingColumns, 1);
    const Grid g = loaded("1.0E308\r\n1.0E308\r\n", s);
    EXPECT_THAT([&] { lineStatistics(s, g); },
                ::testing::ThrowsMessage<Error>(::testing::StrEq("Floating point overflow")));
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
