#include "deskcalc/tape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvalo::deskcalc {
namespace {

using Lines = std::vector<std::string>;

PaperTape filledTape() {
    PaperTape tape;
    tape.setLineWidth(12);
    tape.setShown(true);
    tape.fill();
    return tape;
}

Lines lastLines(const PaperTape& tape, std::size_t n) {
    return Lines(tape.lines().end() - static_cast<std::ptrdiff_t>(n), tape.lines().end());
}

TEST(Tape, LinesComeInAtTheBottomOfThirtyBlankLinesStripGrowsClearTapeBlanks) {
    auto tape = filledTape();
    for (int i = 1; i <= 30; ++i) tape.addNumberLine(std::to_string(i), "+");
    tape.fill();  // once only
    ASSERT_EQ(tape.lines().size(), 30u);
    EXPECT_EQ(tape.lines().front(), "         1 +");
    tape.addNumberLine("31", "+");
    EXPECT_EQ(tape.lineCount(), 31);
    EXPECT_EQ(tape.topLine(), 28);  // the newest line stays in view
    tape.clearTape();               // blanks every line; the next comes in at the bottom again
    EXPECT_EQ(tape.lines(), Lines(31));
    tape.addNumberLine("9", "=");
    EXPECT_EQ(tape.lines().size(), 31u);
    EXPECT_EQ(tape.lines().back(), "         9 =");
}

TEST(Tape, KeepsAtMostMaxPaperCountLines) {
    auto tape = filledTape();
    tape.maxPaperCount = 40;
    for (int i = 1; i <= 50; ++i) tape.addNumberLine(std::to_string(i), "+");
    ASSERT_EQ(tape.lines().size(), 40u);
    EXPECT_EQ(tape.lineCount(), 40);
    EXPECT_EQ(tape.lines().front(), "        11 +");
}

TEST(Tape, LineFormatsAndRejustifyToWiderAndNarrowerLines) {
    auto tape = filledTape();
    tape.addNumberLine("8", "*");
    tape.addTextLine("002");
    tape.addSeparatorLine('_');
    tape.addNumberLine("0.5", "+");
    tape.addNumberLine("123456789", "+");      // one blank: narrowing keeps the digits
    tape.addNumberLine("1234567890123", "=");  // wider than the field: no blanks
    EXPECT_EQ(lastLines(tape, 6), (Lines{"         8 *", "         002", "____________",
                                         "       0.5 +", " 123456789 +", "1234567890123 ="}));
    tape.setLineWidth(15);
    tape.rejustify();
    EXPECT_EQ(lastLines(tape, 6),
              (Lines{"            8 *", "            002", "_______________", "          0.5 +",
                     "    123456789 +", "1234567890123 ="}));
    tape.setLineWidth(10);
    tape.rejustify();
    EXPECT_EQ(lastLines(tape, 6), (Lines{"       8 *", "       002", "__________", "     0.5 +",
                                         "    123456789 +", "1234567890123 ="}));
    tape.setShown(false);  // a hidden tape keeps its lines as they are
    tape.setLineWidth(15);
    tape.rejustify();
    EXPECT_EQ(lastLines(tape, 6).front(), "       8 *");
}

// The tape as text, as Copy Tape and Save Tape take it: the written lines without
// the blank strip, each without its trailing blanks.
TEST(Tape, TextHoldsTheWrittenLinesOnly) {
    PaperTape tape;
    tape.setLineWidth(12);
    tape.setShown(true);
    EXPECT_EQ(tape.text(), "");  // never filled
    tape.fill();
    EXPECT_EQ(tape.text(), "");
    tape.addNumberLine("5", "+");
    tape.addTextLine("002");
    tape.addNumberLine("7", "");
    tape.addSeparatorLine('_');
    EXPECT_EQ(tape.text(), "         5 +\n         002\n         7\n____________");
    tape.clearTape();
    EXPECT_EQ(tape.text(), "");
    tape.addNumberLine("9", "=");
    EXPECT_EQ(tape.text(), "         9 =");
    std::string expected = "         9 =";
    for (int i = 0; i < 31; ++i) {  // past the strip: none of it is left
        tape.addNumberLine("1", "+");
        expected += "\n         1 +";
    }
    EXPECT_EQ(tape.text(), expected);
}

}  // namespace
}  // namespace corvalo::deskcalc
