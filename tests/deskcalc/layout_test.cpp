#include "deskcalc/layout.h"

#include <gtest/gtest.h>

#include <ostream>

#include "row_name.h"

#include <string>

namespace corvalo::deskcalc {
namespace {

CalcLayoutInput input(int w, int h, CalculatorOptions options = kDefaultOptions) {
    CalcLayoutInput in;
    in.width = w;
    in.height = h;
    in.options = options;
    in.displayTextHeight = 22;  // display 22 + 8 = 30 high
    in.digitsTextWidth = 132;   // 12 pixels a character
    return in;
}

struct SizeRow {
    const char* name;
    int width;
    int gap, margin, buttonWidth;
};
void PrintTo(const SizeRow& row, std::ostream* os) {
    *os << row.name;
}

class LayoutSize : public ::testing::TestWithParam<SizeRow> {};

TEST_P(LayoutSize, GapMarginAndDisplaySpan) {
    const SizeRow& r = GetParam();
    const CalcLayout l = layoutCalculator(input(r.width, 220));
    EXPECT_EQ(l.gap, r.gap);
    EXPECT_EQ(l.margin, r.margin);
    EXPECT_EQ(l.buttonWidth, r.buttonWidth);
    EXPECT_EQ(l.display, (CalcRect{r.margin, r.margin, r.width - 2 * r.margin, 30}));
    // The "=" button ends where the display ends: the memory column takes the remainder.
    const CalcRect& eq = l.buttons[cbEquals];
    EXPECT_EQ(eq.left + eq.width, r.width - r.margin);
}

INSTANTIATE_TEST_SUITE_P(Rows, LayoutSize,
                         ::testing::Values(SizeRow{"At200", 200, 2, 4, 30},
                                           SizeRow{"At201", 201, 4, 6, 27},
                                           SizeRow{"Minimum295", 295, 4, 6, 43},
                                           SizeRow{"Default440", 440, 4, 6, 67}),
                         testing::RowName());

TEST(Layout, ButtonGridOfThisProgram) {
    // 440 x 400: M 6, G 4, BW 67, X0 = 440 - 12 - 402 - 16 = 10, BH (400-42-6-16)/5 = 67.
    const CalcLayout l = layoutCalculator(input(440, 400));
    ASSERT_EQ(l.buttonHeight, 67);
    const int y0 = 400 - 6 - 5 * 67 - 16;
    const int x1 = 6 + 67 + 10;
    struct Row {
        Key b;
        int left, top;
    };
    const Row rows[] = {
        {cbMemClear, 6, y0},
        {cbMemRecall, 6, y0 + 71},
        {cbMemSubtract, 6, y0 + 284},
        {cbDigit7, x1, y0 + 71},
        {cbSqrt, x1 + 284, y0 + 71},
        {cbPercent, x1 + 284, y0 + 142},
        {cbReciprocal, x1 + 284, y0 + 213},
        {cbDigit0, x1, y0 + 284},
        {cbChangeSign, x1 + 71, y0 + 284},
        {cbDecimal, x1 + 142, y0 + 284},
        {cbAdd, x1 + 213, y0 + 284},
        {cbEquals, x1 + 284, y0 + 284},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(buttonCaption(r.b, '.'));
        EXPECT_EQ(l.buttons[r.b], (CalcRect{r.left, r.top, 67, 67}));
        EXPECT_TRUE(l.visible[r.b]);
    }
    // Back, CE, C: (4 * 67 + 4) div 3 = 90 wide, over columns 1 to 4.
    EXPECT_EQ(l.buttons[cbBack], (CalcRect{x1 + 71, y0, 90, 67}));
    EXPECT_EQ(l.buttons[cbClearEntry], (CalcRect{x1 + 71 + 94 + 1, y0, 90, 67}));
    EXPECT_EQ(l.buttons[cbClear], (CalcRect{x1 + 71 + 188 + 2, y0, 90, 67}));
    EXPECT_FALSE(l.visible[cbClearTape]);
    EXPECT_EQ(l.tapeChars, (428 - 6) / 12);
    EXPECT_FALSE(l.tapeVisible);
}

TEST(Layout, EditButtonsSpreadRemainderToTheRight) {
    for (int w = 201; w <= 260; ++w) {
        SCOPED_TRACE(w);
        const CalcLayout l = layoutCalculator(input(w, 220));
        const CalcRect& back = l.buttons[cbBack];
        const CalcRect& c = l.buttons[cbClear];
        const CalcRect& col4 = l.buttons[cbEquals];
        EXPECT_EQ(back.left, l.buttons[cbChangeSign].left);   // starts at column 1
        EXPECT_EQ(c.left + c.width, col4.left + col4.width);  // ends with column 4
        const int gapBefore = l.buttons[cbClearEntry].left - (back.left + back.width);
        EXPECT_GE(gapBefore, l.gap);
        EXPECT_LE(gapBefore, l.gap + 1);
    }
}

TEST(Layout, ClearTapeButtonTakesColumnZero) {
    const auto options = kDefaultOptions | optionBit(coShowClearTapeButton);
    for (int w = 201; w <= 240; ++w) {
        SCOPED_TRACE(w);
        const CalcLayout l = layoutCalculator(input(w, 220, options));
        ASSERT_TRUE(l.visible[cbClearTape]);
        EXPECT_EQ(l.buttons[cbClearTape].left, l.buttons[cbDigit7].left);
        const CalcRect& c = l.buttons[cbClear];
        EXPECT_EQ(c.left + c.width, l.buttons[cbSqrt].left + l.buttons[cbSqrt].width);
    }
}

TEST(Layout, WithoutMemoryColumn) {
    // 201: T = 201 - 12 - 16 = 173, BW 34, T div 6 = 28 >= 4 so M grows to 8.
    const CalcLayout l = layoutCalculator(input(201, 220, optionBit(coShowItemCount)));
    EXPECT_EQ(l.buttonWidth, 34);
    EXPECT_EQ(l.margin, 8);
    EXPECT_FALSE(l.visible[cbMemClear]);
    EXPECT_EQ(l.buttons[cbDigit7].left, 8);
    EXPECT_EQ(l.display.width, 5 * 34 + 16);  // the remainder stays at the right
}

TEST(Layout, TapeAboveDisplay) {
    const auto options = kDefaultOptions | optionBit(coShowTape);
    const CalcLayout l = layoutCalculator(input(440, 400, options));
    EXPECT_TRUE(l.tapeVisible);
    EXPECT_EQ(l.tape, (CalcRect{6, 6, 428, 60}));
    EXPECT_EQ(l.display, (CalcRect{8, 72, 410, 30}));
    EXPECT_EQ(l.tapeChars, (428 - 18 - 6) / 12);
    EXPECT_EQ(l.buttonHeight, (400 - (12 + 30 + 66) - 6 - 16) / 5);
}

TEST(Layout, NoDisplayFontMeansEightPixelCharacters) {
    CalcLayoutInput in = input(440, 400);
    in.digitsTextWidth = -1;
    EXPECT_EQ(layoutCalculator(in).tapeChars, (428 - 4) / 8);
    in.digitsTextWidth = 0;  // a font without width: one pixel, not a division by zero
    EXPECT_EQ(layoutCalculator(in).tapeChars, 428);
}

TEST(Layout, HitTestInIdentifierOrderAndMisses) {
    const CalcLayout l = layoutCalculator(input(440, 400));
    const CalcRect& seven = l.buttons[cbDigit7];
    EXPECT_EQ(buttonAt(l, seven.left, seven.top), cbDigit7);
    EXPECT_EQ(buttonAt(l, seven.left + seven.width - 1, seven.top + seven.height - 1), cbDigit7);
    EXPECT_EQ(buttonAt(l, seven.left + seven.width, seven.top), cbNone);  // in the gap
    EXPECT_EQ(buttonAt(l, 20, 20), cbNone);                               // the display
    EXPECT_EQ(buttonAt(l, l.buttons[cbDigit7].left + 2, l.buttons[cbBack].top + 2), cbNone);
}

}  // namespace
}  // namespace corvalo::deskcalc
