#include "clipcalc/pipeline.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "clipcalc/clean.h"
#include "clipcalc/parser.h"
#include "platform/error.h"

namespace corvalo::clipcalc {
namespace {

struct Sink : ResultDisplay {
    void setDisplayCaption(const std::string& c) override {
        caption = c;
        ++shown;
    }
    std::string caption = "untouched";
    int shown = 0;
};

struct Paste {
    CalculateOutcome outcome;
    CalcState state;
    Grid grid;
    Sink display;
};

void calculate(Paste& run, std::string text) {
    run.outcome = calculateClipboardText(platform::bigText(text.data(), text.size()),
                                         run.state, run.grid, run.display);
}

Paste fresh(TabulationStyle style) {
    Paste run;
    run.state.setStartValues();
    run.state.tabulationStyle = style;
    return run;
}

const std::string kOneNumberByRows = std::string(MsgOnlyOneNumber) + std::string(MsgHintColumnToRow);
const std::string kOneNumberByColumns = std::string(MsgOnlyOneNumber) + std::string(MsgHintRowToColumn);

TEST(CalculateClipboardText, Table) {
    struct Row {
        const char* name;
        std::string text;
        TabulationStyle style;
        CalculateMessage message;
        std::string messageText;
        std::string caption;  // "untouched" when nothing was shown
        bool gridNeeded;
    };
    const auto cols = TabulationStyle::UsingColumns;
    const auto rows = TabulationStyle::UsingRows;
    const Row table[] = {
        {"one row by columns", "12\t30\t8", cols, CalculateMessage::OnlyOneNumber,
         kOneNumberByColumns, "12.00 ", true},
        {"one row by rows", "12\t30\t8", rows, CalculateMessage::None, "", "50.00 ", true},
        {"one column by rows", "12\r\n30\r\n8", rows, CalculateMessage::OnlyOneNumber,
         kOneNumberByRows, "12.00 ", true},
        {"one column by columns", "12\r\n30\r\n8", cols, CalculateMessage::None, "", "50.00 ",
         true},
        {"single number", "5", cols, CalculateMessage::TooFewNumbers, std::string(MsgTooFewNumbers),
         "untouched", false},
        {"no number", "abc", cols, CalculateMessage::ClipboardEmpty,
         std::string(MsgClipboardEmpty), "untouched", false},
        {"number and TAB", "5\t", cols, CalculateMessage::TooFewNumbers,
         std::string(MsgTooFewNumbers), "untouched", false},
        {"two by two", "1\t2\r\n3\t4", cols, CalculateMessage::None, "", "4.00 ", false},
        {"header line dropped", "Price\tQty\r\n2\t3\r\n4\t5\r\n", cols, CalculateMessage::None, "",
         "6.00 ", false},
        {"blank-separated", "10 20   30", rows, CalculateMessage::None, "", "60.00 ", true},
        {"quoted values", "\"1,000\",\"2,500.50\"", rows, CalculateMessage::None, "",
         "3,500.50 ", false},
        {"accounting amounts", "$1,234.50\r\n(234.50)\r\n", cols, CalculateMessage::None, "",
         "1,000.00 ", false},
        {"LF-only text ending in junk", "5\nabc", cols, CalculateMessage::TooFewNumbers,
         std::string(MsgTooFewNumbers), "untouched", false},
    };
    for (const Row& r : table) {
        SCOPED_TRACE(r.name);
        Paste run = fresh(r.style);
        calculate(run, r.text);
        EXPECT_EQ(run.outcome.message, r.message);
        EXPECT_EQ(run.outcome.messageText, r.messageText);
        EXPECT_EQ(run.display.caption, r.caption);
        EXPECT_EQ(run.outcome.gridNeeded, r.gridNeeded);
    }
}

TEST(CalculateClipboardText, NoTextOnTheClipboardChangesNothing) {
    Paste run = fresh(TabulationStyle::UsingColumns);
    run.grid.putCell("9", 1, 1);
    run.outcome = calculateClipboardText(std::optional<platform::BigBuffer<char>>(), run.state,
                                         run.grid, run.display);
    EXPECT_EQ(run.outcome.messageText, MsgClipboardEmpty);
    EXPECT_EQ(run.grid.cell(1, 1), "9");
}

TEST(CalculateClipboardText, EmptyTextEmptiesTheGridButKeepsItsSize) {
    Paste run = fresh(TabulationStyle::UsingColumns);
    calculate(run, "1\t2\t3\t4\r\n5\t6\t7\t8\r\n9\t1\t2\t3\r\n4\t5\t6\t7");
    ASSERT_EQ(run.grid.colCount(), 5);
    run.state.currentColumn = 4;
    calculate(run, "  \r\n ");
    EXPECT_EQ(run.outcome.message, CalculateMessage::ClipboardEmpty);
    EXPECT_EQ(run.grid.colCount(), 5);
    EXPECT_EQ(run.grid.rowCount(), 5);
    EXPECT_EQ(run.grid.cell(1, 1), "");
    EXPECT_EQ(run.state.currentColumn, 4);  // a stopped run keeps the chosen line
    EXPECT_EQ(run.state.lastResult, 19);  // 1 + 5 + 9 + 4
}

TEST(CalculateClipboardText, TooFewKeepsTheStoredCellAndTheResult) {
    Paste run = fresh(TabulationStyle::UsingColumns);
    calculate(run, "1\r\n2");
    calculate(run, "5");
    EXPECT_EQ(run.outcome.cellCount, 1);
    EXPECT_EQ(run.grid.cell(1, 1), "5");
    EXPECT_EQ(run.state.lastResult, 3);
}

TEST(CalculateClipboardText, OverflowThrowsAfterFillingTheGrid) {
    Paste run = fresh(TabulationStyle::UsingColumns);
    run.state.mathMode = MathMode::Multiplication;
    EXPECT_THROW(calculate(run, "1.0E300\r\n1.0E300"), Error);
    EXPECT_EQ(run.display.caption, "untouched");
    EXPECT_EQ(run.grid.cell(1, 2), "1.0E300");
}

// The fused load must give exactly what cleaning the whole text, adding the
// CR LF and parsing the result give.
void expectSameAsLiteral(const std::string& raw, char decimal, char thousands, bool ignore) {
    CalcState s;
    s.localeDecimalSeparator = decimal;
    s.localeThousandSeparator = thousands;
    s.ignoreFirstRowWhenEmpty = ignore;

    std::string cleaned = cleanClipboardText(raw, decimal, thousands);
    Grid literal;
    literal.resetGrid();
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
    fused.resetGrid();
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
        expectSameAsLiteral(raw, comma ? ',' : '.', comma ? '\xA0' : ',', rng() % 4 != 0);
        if (HasFatalFailure()) return;
    }
}

TEST(CalculateClipboardText, SurvivesHostileInput) {
    struct Row {
        const char* name;
        std::string text;
    };
    const Row rows[] = {
        {"NULs", std::string("1\0\t2\0\r\n\0", 8)},
        {"high bytes", "\xFF\xFE\x80\t\x81\r\n"},
        {"one 50 MB line of digits", std::string(50'000'000, '7')},
        {"a million TABs", "1" + std::string(1'000'000, '\t') + "2"},
        {"only CRs", std::string(100'000, '\r') + "x"},
        {"a million quotes", std::string(1'000'000, '"')},
        {"a million blanks between", "1" + std::string(1'000'000, ' ') + "2"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Paste run = fresh(TabulationStyle::UsingRows);
        EXPECT_NO_THROW(calculate(run, r.text));
    }
}

TEST(CalculateClipboardText, MillionTabsGiveAMillionColumns) {
    Paste run = fresh(TabulationStyle::UsingRows);
    calculate(run, "1" + std::string(1'000'000, '\t') + "2");
    EXPECT_EQ(run.grid.colCount(), 1'000'002);
    EXPECT_EQ(run.display.caption, "3.00 ");
}

}  // namespace
}  // namespace corvalo::clipcalc
