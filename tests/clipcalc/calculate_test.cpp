#include "clipcalc/calculate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "clipcalc/line_cells.h"
#include "platform/error.h"

namespace corvalo::clipcalc {
namespace {

// The value of `text` read down column 2 under a zero (short texts are read in pairs),
// after the cell `before` in the arena.
double columnValue(const std::string& before, const std::string& text, char decimal) {
    Grid g;
    g.setColCount(3);
    g.setRowCount(3);
    g.setCell(1, 1, before);
    g.setCell(2, 1, "0");
    g.setCell(2, 2, text);
    CalcState s;
    s.localeDecimalSeparator = decimal;
    s.tabulationStyle = TabulationStyle::UsingColumns;
    s.currentColumn = 2;
    s.mathMode = MathMode::Subtraction;  // after a zero the value as it is, a zero's sign too
    calculateLine(s, g);
    return s.lastResult;
}

// Each text read by cellValue and straight from the grid's arena down a column: at the
// arena's start from the bytes after it, further on from the 16 bytes up to its end (8
// and a neighbour's 8 for a short one).
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
        {"sixteen digits", "1234567890123456", 1234567890123456},
        {"fifteen digits with a point", "-1234567890.12345", -1234567890.12345},
        {"fraction of fifteen digits", ".123456789012345", 0.123456789012345},
        {"trailing point", "5.", 5},
        {"point alone", ".", 0},
        {"minus and point alone", "-.", 0},
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
        // First in the arena, and after a cell of digits, signs and separators that
        // a read of the bytes before the text must not take in.
        for (const std::string before : {"", "-9.9,9-9.9,9.9,9.9"}) {
            SCOPED_TRACE(before);
            EXPECT_EQ(columnValue(before, r.text, r.decimal), r.value);
            EXPECT_EQ(std::signbit(columnValue(before, r.text, r.decimal)), std::signbit(r.value));
        }
    }
}

// Decimals of every length and shape down a long column, each read as std::from_chars
// reads it (short ones two at a time, long ones alone, the first ones without bytes
// before them); calculateLine steps through them in row order.
TEST(CellValue, DecimalsDownAColumnAsFromChars) {
    std::mt19937 rng(7);
    for (const char decimal : {'.', ','}) {
        SCOPED_TRACE(decimal);
        Grid column;
        std::vector<std::string> texts;
        std::vector<double> values;
        LineResult expected(MathMode::Addition);
        for (std::int32_t row = 1; row <= 3000; ++row) {
            std::string text = rng() % 2 ? "-" : "";
            const std::size_t whole = rng() % 17 % (rng() % 2 ? 17 : 6);
            const std::size_t fraction = rng() % 17 % (17 - whole);
            for (std::size_t i = 0; i < whole; ++i) text += static_cast<char>('0' + rng() % 10);
            if (fraction != 0 || rng() % 4 == 0) text += '.';
            for (std::size_t i = 0; i < fraction; ++i) text += static_cast<char>('0' + rng() % 10);
            if (text.find_first_of("0123456789") == std::string::npos) text += '7';
            double v = 0.0;
            ASSERT_EQ(std::from_chars(text.data(), text.data() + text.size(), v).ec, std::errc());
            std::replace(text.begin(), text.end(), '.', decimal);
            column.putCell(text, 1, row);
            texts.push_back(text);
            values.push_back(v);
            expected.step(v);
        }
        struct Collect {
            std::vector<double>* values;
            void operator()(double v) { values->push_back(v); }
        };
        std::vector<double> read;
        Collect collect{&read};
        ASSERT_TRUE(forEachColumnValue(column, 1, decimal, collect));
        ASSERT_EQ(read.size(), values.size());
        for (std::size_t i = 0; i < read.size(); ++i) {
            SCOPED_TRACE(texts[i]);
            EXPECT_EQ(std::memcmp(&read[i], &values[i], sizeof(double)), 0);
        }
        CalcState s;
        s.localeDecimalSeparator = decimal;
        s.tabulationStyle = TabulationStyle::UsingColumns;
        calculateLine(s, column);
        EXPECT_EQ(s.lastResult, expected.value());
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
