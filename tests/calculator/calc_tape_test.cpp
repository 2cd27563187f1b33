#include "calculator/calc_tape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvalo::calculator {
namespace {

TOvcCalcTape filledTape(int width, bool shown = true) {
    TOvcCalcTape tape;
    tape.SetLineWidth(width);
    tape.SetShown(shown);
    tape.Fill();
    return tape;
}

TEST(Tape, FillAddsThirtyBlankLinesOnce) {
    auto tape = filledTape(12);
    tape.AddNumberLine("5", "+");
    tape.Fill();  // already filled: the line stays
    ASSERT_EQ(tape.Lines().size(), 30u);
    EXPECT_EQ(tape.Lines().back(), "         5 +");
    EXPECT_EQ(tape.LineCount(), 30);
}

TEST(Tape, FirstLineAtBottomAndStripGrowsAfterThirty) {
    auto tape = filledTape(12);
    for (int i = 1; i <= 30; ++i) {
        tape.AddNumberLine(std::to_string(i), "+");
        EXPECT_EQ(tape.Lines().size(), 30u);
    }
    EXPECT_EQ(tape.Lines().front(), "         1 +");
    tape.AddNumberLine("31", "+");
    EXPECT_EQ(tape.Lines().size(), 31u);
    EXPECT_EQ(tape.LineCount(), 31);
    EXPECT_EQ(tape.TopLine(), 28);  // the newest line stays in view
}

TEST(Tape, KeepsAtMostMaxPaperCountLines) {
    auto tape = filledTape(12);
    tape.MaxPaperCount = 40;
    for (int i = 1; i <= 50; ++i) tape.AddNumberLine(std::to_string(i), "+");
    ASSERT_EQ(tape.Lines().size(), 40u);
    EXPECT_EQ(tape.LineCount(), 40);
    EXPECT_EQ(tape.Lines().front(), "        11 +");
    EXPECT_EQ(tape.Lines().back(), "        50 +");
}

TEST(Tape, LineFormats) {
    struct Row {
        const char* name;
        int width;
        std::string line;
        std::string expected;
    };
    auto tape = filledTape(12);
    tape.AddNumberLine("8", "*");
    tape.AddTextLine("002");
    tape.AddSeparatorLine('_');
    tape.AddNumberLine("1234567890123", "=");
    const auto& l = tape.Lines();
    const Row rows[] = {
        {"TotalNineBlanks", 12, l[26], "         8 *"},
        {"ItemCountRightAligned", 12, l[27], "         002"},
        {"SeparatorFullWidth", 12, l[28], "____________"},
        {"WiderThanFieldNoBlanks", 12, l[29], "1234567890123 ="},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.line, row.expected);
    }
}

TEST(Tape, ClearTapeBlanksEveryLineAndNextShowsAtBottom) {
    auto tape = filledTape(12);
    for (int i = 0; i < 35; ++i) tape.AddNumberLine("7", "+");
    tape.ClearTape();
    ASSERT_EQ(tape.Lines().size(), 35u);
    for (const auto& s : tape.Lines()) EXPECT_TRUE(s.empty());
    tape.AddNumberLine("9", "=");
    EXPECT_EQ(tape.Lines().size(), 35u);
    EXPECT_EQ(tape.Lines().back(), "         9 =");
}

TEST(Tape, WideningAndNarrowingRejustify) {
    auto tape = filledTape(12);
    tape.AddNumberLine("8", "*");
    tape.AddSeparatorLine('_');
    tape.AddNumberLine("0.5", "+");
    tape.SetLineWidth(15);
    tape.Rejustify();
    const auto& l = tape.Lines();
    EXPECT_EQ(l[27], "            8 *");
    EXPECT_EQ(l[28], "_______________");
    EXPECT_EQ(l[29], "          0.5 +");
    tape.SetLineWidth(10);
    tape.Rejustify();
    EXPECT_EQ(l[27], "       8 *");
    EXPECT_EQ(l[28], "__________");
    EXPECT_EQ(l[29], "     0.5 +");
}

TEST(Tape, NarrowingKeepsDigits) {
    auto tape = filledTape(12);
    tape.AddNumberLine("123456789", "+");  // " 123456789 +" has one leading blank
    tape.SetLineWidth(10);
    tape.Rejustify();
    EXPECT_EQ(tape.Lines().back(), " 123456789 +");
}

TEST(Tape, HiddenTapeIsNotRejustified) {
    auto tape = filledTape(12, false);
    tape.AddNumberLine("8", "*");
    tape.SetLineWidth(15);
    tape.Rejustify();
    EXPECT_EQ(tape.Lines().back(), "         8 *");
}

}  // namespace
}  // namespace corvalo::calculator
