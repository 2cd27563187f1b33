#include "deskcalc/tape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvalo::deskcalc {
namespace {

PaperTape filledTape(int width, bool shown = true) {
    PaperTape tape;
    tape.setLineWidth(width);
    tape.setShown(shown);
    tape.fill();
    return tape;
}

TEST(Tape, FillAddsThirtyBlankLinesOnce) {
    auto tape = filledTape(12);
    tape.addNumberLine("5", "+");
    tape.fill();  // already filled: the line stays
    ASSERT_EQ(tape.lines().size(), 30u);
    EXPECT_EQ(tape.lines().back(), "         5 +");
    EXPECT_EQ(tape.lineCount(), 30);
}

TEST(Tape, FirstLineAtBottomAndStripGrowsAfterThirty) {
    auto tape = filledTape(12);
    for (int i = 1; i <= 30; ++i) {
        tape.addNumberLine(std::to_string(i), "+");
        EXPECT_EQ(tape.lines().size(), 30u);
    }
    EXPECT_EQ(tape.lines().front(), "         1 +");
    tape.addNumberLine("31", "+");
    EXPECT_EQ(tape.lines().size(), 31u);
    EXPECT_EQ(tape.lineCount(), 31);
    EXPECT_EQ(tape.topLine(), 28);  // the newest line stays in view
}

TEST(Tape, KeepsAtMostMaxPaperCountLines) {
    auto tape = filledTape(12);
    tape.maxPaperCount = 40;
    for (int i = 1; i <= 50; ++i) tape.addNumberLine(std::to_string(i), "+");
    ASSERT_EQ(tape.lines().size(), 40u);
    EXPECT_EQ(tape.lineCount(), 40);
    EXPECT_EQ(tape.lines().front(), "        11 +");
    EXPECT_EQ(tape.lines().back(), "        50 +");
}

TEST(Tape, LineFormats) {
    struct Row {
        const char* name;
        int width;
        std::string line;
        std::string expected;
    };
    auto tape = filledTape(12);
    tape.addNumberLine("8", "*");
    tape.addTextLine("002");
    tape.addSeparatorLine('_');
    tape.addNumberLine("1234567890123", "=");
    const auto& l = tape.lines();
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
    for (int i = 0; i < 35; ++i) tape.addNumberLine("7", "+");
    tape.clearTape();
    ASSERT_EQ(tape.lines().size(), 35u);
    for (const auto& s : tape.lines()) EXPECT_TRUE(s.empty());
    tape.addNumberLine("9", "=");
    EXPECT_EQ(tape.lines().size(), 35u);
    EXPECT_EQ(tape.lines().back(), "         9 =");
}

TEST(Tape, WideningAndNarrowingRejustify) {
    auto tape = filledTape(12);
    tape.addNumberLine("8", "*");
    tape.addSeparatorLine('_');
    tape.addNumberLine("0.5", "+");
    tape.setLineWidth(15);
    tape.rejustify();
    const auto& l = tape.lines();
    EXPECT_EQ(l[27], "            8 *");
    EXPECT_EQ(l[28], "_______________");
    EXPECT_EQ(l[29], "          0.5 +");
    tape.setLineWidth(10);
    tape.rejustify();
    EXPECT_EQ(l[27], "       8 *");
    EXPECT_EQ(l[28], "__________");
    EXPECT_EQ(l[29], "     0.5 +");
}

TEST(Tape, NarrowingKeepsDigits) {
    auto tape = filledTape(12);
    tape.addNumberLine("123456789", "+");  // " 123456789 +" has one leading blank
    tape.setLineWidth(10);
    tape.rejustify();
    EXPECT_EQ(tape.lines().back(), " 123456789 +");
}

TEST(Tape, HiddenTapeIsNotRejustified) {
    auto tape = filledTape(12, false);
    tape.addNumberLine("8", "*");
    tape.setLineWidth(15);
    tape.rejustify();
    EXPECT_EQ(tape.lines().back(), "         8 *");
}

}  // namespace
}  // namespace corvalo::deskcalc
