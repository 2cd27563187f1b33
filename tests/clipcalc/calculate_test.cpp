#include "clipcalc/calculate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/error.h"

namespace corvalo::clipcalc {
namespace {

// Each text read by cellValue and, as the only cell of column 1, straight from the
// grid's arena (numbers up to 16 characters a whole word at a time): Subtraction
// gives its value exactly, the sign of a zero included.
TEST(CellValue, ReadAloneAndFromTheArena) {
    struct Row {
        const char* name;
        std::string text;
        double value;
        char decimal = '.';
    };
    const Row rows[] = {
        {"negative fraction", "-7.25", -7.25},
        {"plus sign", "+3", 3},
        {"blanks around", "  4.5 ", 4.5},
        {"nine digits", "-123456789", -123456789},
        {"fifteen digits", "123456789012345", 123456789012345},
        {"sixteen digits go the long way", "1234567890123456", 1234567890123456},
        {"fifteen digits with a point", "-1234567890.12345", -1234567890.12345},
        {"fraction of fifteen digits", ".123456789012345", 0.123456789012345},
        {"trailing point", "5.", 5},
        {"point alone", ".", 0},
        {"minus zero", "-0.00", -0.0},
        {"exponent", "1.5E3", 1500},
        {"lower-case exponent with sign", "2.5e-2", 0.025},
        {"exponent sign without digits", "1.5E-", 1.5},
        {"empty", "", 0},
        {"only blanks", "   ", 0},
        {"two separators", "1.2.3", 0},
        {"letters", "abc", 0},
        {"beyond double range", "1E400", 0},
        {"tiny underflows to zero", "1E-400", 0},
        {"subnormal is within range", "5E-312", 5e-312},
        {"comma locale", "1234,5", 1234.5, ','},
        {"comma locale rejects point", "1234.5", 0, ','},
        {"comma locale, longer than 64", "0," + std::string(80, '0') + "5", 5e-81, ','},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(cellValue(r.text, r.decimal), r.value);
        Grid g;
        g.setColCount(2);
        g.setRowCount(2);
        g.setCell(1, 1, r.text);
        CalcState s;
        s.localeDecimalSeparator = r.decimal;
        s.tabulationStyle = TabulationStyle::UsingColumns;
        s.mathMode = MathMode::Subtraction;
        calculateLine(s, g);
        EXPECT_EQ(s.lastResult, r.value);
        EXPECT_EQ(std::signbit(s.lastResult), std::signbit(r.value));
    }
}

TEST(CalculateLine, ModesTable) {
    struct Row {
        const char* name;
        std::vector<std::string> cells;
        MathMode mode;
        double result;
        bool overflow = false;
    };
    const Row rows[] = {
        {"add", {"10", "20", "30"}, MathMode::Addition, 60},
        {"subtract", {"10", "20", "30"}, MathMode::Subtraction, -40},
        {"multiply", {"10", "20", "30"}, MathMode::Multiplication, 6000},
        {"divide", {"100", "5", "2"}, MathMode::Division, 10},
        {"zero divisor skipped", {"0", "8", "2"}, MathMode::Division, 4},
        {"zero leaves subtraction start open", {"0", "8", "2"}, MathMode::Subtraction, 6},
        {"restart at zero", {"5", "5", "3"}, MathMode::Subtraction, 3},
        {"empty cells add nothing", {"", "7", "x"}, MathMode::Addition, 7},
        {"empty column multiplies to zero", {"", ""}, MathMode::Multiplication, 0},
        {"overflow keeps the last result", {"1E300", "1E300"}, MathMode::Multiplication, 42, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Grid g;
        g.emptyCells();
        g.setRowCount(2);
        g.setColCount(2);
        for (std::size_t i = 0; i < r.cells.size(); ++i) {
            g.putCell(r.cells[i], 1, static_cast<std::int32_t>(i + 1));
        }
        CalcState s;
        s.mathMode = r.mode;
        s.tabulationStyle = TabulationStyle::UsingColumns;
        s.lastResult = 42;  // the previous result carries over only past an overflow
        if (r.overflow) {
            EXPECT_THAT(
                [&] { calculateLine(s, g); },
                ::testing::ThrowsMessage<Error>(::testing::StrEq("Floating point overflow")));
        } else {
            calculateLine(s, g);
        }
        EXPECT_EQ(s.lastResult, r.result);
    }
}

TEST(CalculateLine, ReadsRowsAndIgnoresHeaders) {
    Grid g;
    g.setCell(0, 1, "1000");  // header cells are never read
    g.setCell(1, 0, "1000");
    g.putCell("1", 1, 1);
    g.putCell("2", 2, 1);
    g.putCell("4", 1, 2);
    CalcState s;
    s.tabulationStyle = TabulationStyle::UsingRows;
    calculateLine(s, g);
    EXPECT_EQ(s.lastResult, 3);
    s.tabulationStyle = TabulationStyle::UsingColumns;
    calculateLine(s, g);
    EXPECT_EQ(s.lastResult, 5);
}

}  // namespace
}  // namespace corvalo::clipcalc
