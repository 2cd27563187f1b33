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

TEST(Tape, LinesComeInAtTheBottomOfThirtyBlankLinesUpToMaxPaperCountClearTapeBlanks) {
    auto tape = filledTape();
    tape.maxPaperCount = 32;
    for (int i = 1; i <= 31; ++i) tape.addNumberLine(std::to_string(i), "+");
    tape.fill();  // once only
    EXPECT_EQ(tape.lines().size(), 31u);
    EXPECT_EQ(tape.lines().front(), "         1 +");
    EXPECT_EQ(tape.topLine(), 28);  // the newest line stays in view
    for (const char* n : {"32", "33"}) tape.addNumberLine(n, "+");
    EXPECT_EQ(tape.lines().front(), "         2 +");  // the oldest go beyond maxPaperCount
    tape.clearTape();  // blanks every line; the next comes in at the bottom again
    EXPECT_EQ(tape.lines(), Lines(32));
    EXPECT_EQ(tape.text(), "");
    tape.addNumberLine("9", "=");
    EXPECT_EQ(tape.lines().size(), 32u);
    EXPECT_EQ(tape.text(), "         9 =");
}

TEST(Tape, LineFormatsTextAndRejustifyToWiderAndNarrowerLines) {
    auto tape = filledTape();
    tape.addNumberLine("7", "");
    tape.addNumberLine("8", "*");
    tape.addTextLine("002");
    tape.addSeparatorLine('_');
    tape.addNumberLine("123456789", "+");      // one blank: narrowing keeps the digits
    tape.addNumberLine("1234567890123", "=");  // wider than the field: no blanks
    // As Copy Tape and Save Tape take it: the written lines, without trailing blanks.
    EXPECT_EQ(tape.text(),
              "         7\n         8 *\n         002\n____________\n 123456789 +\n"
              "1234567890123 =");
    tape.setLineWidth(15);
    tape.rejustify();
    EXPECT_EQ(tape.lines().end()[-2], "    123456789 +");
    tape.setLineWidth(10);
    tape.rejustify();
    EXPECT_EQ(
        Lines(tape.lines().end() - 5, tape.lines().end()),
        (Lines{"       8 *", "       002", "__________", "    123456789 +", "1234567890123 ="}));
}

}  // namespace
}  // namespace corvalo::deskcalc
