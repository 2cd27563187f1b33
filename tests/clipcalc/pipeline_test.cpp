#include "clipcalc/pipeline.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/error.h"

namespace corvalo::clipcalc {
namespace {

struct Sink : ResultDisplay {
    void setDisplayCaption(const std::string& c) override { caption = c; }
    std::string caption = "untouched";
};

struct Paste {
    CalculateOutcome outcome;
    CalcState state;
    Grid grid;
    Sink display;
};

void calculate(Paste& run, std::string text) {
    run.outcome = calculateClipboardText(platform::bigText(text.data(), text.size()), run.state,
                                         run.grid, run.display);
}

Paste fresh(TabulationStyle style) {
    Paste run;
    run.state.setStartValues();
    run.state.tabulationStyle = style;
    return run;
}

// Which message follows a paste, the result shown and whether the grid is wanted.
TEST(CalculateClipboardText, Table) {
    const std::string oneNumber(kMsgOnlyOneNumber);
    struct Row {
        const char* name;
        std::string text;
        TabulationStyle style;
        CalculateMessage message;
        std::string messageText;
        std::string caption;
        bool gridNeeded;
        std::int64_t cells;
    };
    const auto cols = TabulationStyle::UsingColumns;
    const auto rows = TabulationStyle::UsingRows;
    const Row table[] = {
        {"one row by columns", "12\t30\t8", cols, CalculateMessage::OnlyOneNumber,
         oneNumber + std::string(kMsgHintRowToColumn), "12.00 ", true, 3},
        {"one row by rows", "12\t30\t8", rows, CalculateMessage::None, "", "50.00 ", true, 3},
        {"one column by rows", "12\r\n30\r\n8", rows, CalculateMessage::OnlyOneNumber,
         oneNumber + std::string(kMsgHintColumnToRow), "12.00 ", true, 3},
        {"one column by columns", "12\r\n30\r\n8", cols, CalculateMessage::None, "", "50.00 ",
         true, 3},
        {"single number", "5", cols, CalculateMessage::TooFewNumbers,
         std::string(kMsgTooFewNumbers), "5.00 ", false, 1},
        {"no number", "abc", cols, CalculateMessage::ClipboardEmpty,
         std::string(kMsgClipboardEmpty), "0.00 ", false, 0},
        {"two by two", "1\t2\r\n3\t4", cols, CalculateMessage::None, "", "4.00 ", false, 4},
    };
    for (const Row& r : table) {
        SCOPED_TRACE(r.name);
        Paste run = fresh(r.style);
        calculate(run, r.text);
        EXPECT_EQ(run.outcome.message, r.message);
        EXPECT_EQ(run.outcome.messageText, r.messageText);
        EXPECT_EQ(run.display.caption, r.caption);
        EXPECT_EQ(run.outcome.gridNeeded, r.gridNeeded);
        EXPECT_EQ(run.outcome.cellCount, r.cells);
    }
}

TEST(CalculateClipboardText, NoTextOnTheClipboardChangesNothing) {
    Paste run = fresh(TabulationStyle::UsingColumns);
    run.grid.putCell("9", 1, 1);
    run.outcome = calculateClipboardText(std::optional<platform::BigBuffer<char>>(), run.state,
                                         run.grid, run.display);
    EXPECT_EQ(run.outcome.messageText, kMsgClipboardEmpty);
    EXPECT_EQ(run.grid.cell(1, 1), "9");
    EXPECT_EQ(run.display.caption, "untouched");
}

// A paste that stops at a message after emptying the grid must not leave the
// previous paste's total in the display: the decimal popup re-formats lastResult
// and Copy copies the display. The chosen line stays.
TEST(CalculateClipboardText, StopAfterEmptyingShowsWhatTheGridHolds) {
    struct Row {
        const char* name;
        std::int32_t chosenColumn;  // chosen after the first paste
        std::string second;
        CalculateMessage message;
        double result;
        const char* caption;
    };
    const auto empty = CalculateMessage::ClipboardEmpty;
    const auto tooFew = CalculateMessage::TooFewNumbers;
    const Row table[] = {
        {"N/A: nothing left", 1, "N/A", empty, 0.0, "0.00 "},
        {"N/A with another column chosen", 2, "N/A", empty, 0.0, "0.00 "},
        {"header line only", 1, "Price\tQty", tooFew, 0.0, "0.00 "},
        {"one number", 1, "7.5", tooFew, 7.5, "7.50 "},
        {"one number outside the chosen column", 2, "7.5", tooFew, 0.0, "0.00 "},
    };
    for (const Row& r : table) {
        SCOPED_TRACE(r.name);
        Paste run = fresh(TabulationStyle::UsingColumns);
        calculate(run, "10\t1\r\n20\t2\r\n30\t3");
        run.state.currentColumn = r.chosenColumn;
        ASSERT_NE(run.state.lastResult, 0.0);
        calculate(run, r.second);
        EXPECT_EQ(run.outcome.message, r.message);
        EXPECT_EQ(run.state.lastResult, r.result);
        EXPECT_EQ(run.display.caption, r.caption);
        EXPECT_EQ(run.state.currentColumn, r.chosenColumn);
        if (r.message == empty) {  // emptied, but at the size it had
            EXPECT_EQ(run.grid.colCount(), 3);
            EXPECT_EQ(run.grid.rowCount(), 4);
            EXPECT_EQ(run.grid.cell(1, 1), "");
        }
    }
}

TEST(CalculateClipboardText, OverflowThrowsAfterFillingTheGrid) {
    Paste run = fresh(TabulationStyle::UsingColumns);
    run.state.mathMode = MathMode::Multiplication;
    EXPECT_THROW(calculate(run, "1.0E300\r\n1.0E300"), Error);
    EXPECT_EQ(run.display.caption, "untouched");
    EXPECT_EQ(run.grid.cell(1, 2), "1.0E300");
}

TEST(CalculateClipboardText, MillionTabsGiveAMillionColumns) {
    Paste run = fresh(TabulationStyle::UsingRows);
    calculate(run, "1" + std::string(1'000'000, '\t') + "2");
    EXPECT_EQ(run.grid.colCount(), 1'000'002);
    EXPECT_EQ(run.display.caption, "3.00 ");
}

// The same pastes and results in the three kinds of locale a user meets: '.' and ','
// (English), ',' and '.' (German), ',' and a no-break space (French).
struct Locale {
    const char* name;
    char decimal;
    char thousands;
};

class EveryLocale : public ::testing::TestWithParam<Locale> {};

TEST_P(EveryLocale, PastesAndResults) {
    struct Row {
        const char* name;
        std::string paste;  // in English form; D and G stand for the locale's separators
        TabulationStyle style;
        int decimals;
        std::string shown;
    };
    const auto cols = TabulationStyle::UsingColumns;
    const auto rows = TabulationStyle::UsingRows;
    const Row table[] = {
        {"grouped amounts", "$1G234D50\r\n(234D50)\r\n", cols, 2, "1G000D00"},
        {"scientific", "1D5E20\t0", rows, 2, "1D50E20"},
        {"leading separator", "D5\t-D5\t1", rows, 1, "1D0"},
    };
    const Locale& l = GetParam();
    const auto localised = [&l](std::string s) {
        for (char& c : s) c = c == 'D' ? l.decimal : c == 'G' ? l.thousands : c;
        return s;
    };
    for (const Row& r : table) {
        SCOPED_TRACE(r.name);
        Paste run = fresh(r.style);
        run.state.localeDecimalSeparator = l.decimal;
        run.state.localeThousandSeparator = l.thousands;
        run.state.setResultDecimals(r.decimals);
        calculate(run, localised(r.paste));
        EXPECT_EQ(run.display.caption, localised(r.shown) + " ");
    }
}

const Locale kLocales[] = {{"english", '.', ','}, {"german", ',', '.'}, {"french", ',', '\240'}};
INSTANTIATE_TEST_SUITE_P(Locales, EveryLocale, ::testing::ValuesIn(kLocales),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace corvalo::clipcalc
