#include "deskcalc/colors.h"

#include <gtest/gtest.h>

#include <string>

namespace corvalo::deskcalc {
namespace {

TEST(Colors, CreatedWithWindowsColoursAsCustom) {
    CalculatorColors c;
    EXPECT_EQ(c.colorScheme(), cscalcCustom);
    EXPECT_EQ(c.Display(), clWindow);
    EXPECT_EQ(c.operatorButtons(), clRed);
}

TEST(Colors, DarkThenOneColourByHandTurnsCustomAndKeepsTheRest) {
    CalculatorColors c;
    int notified = 0;
    c.onColorChange = [&] { ++notified; };
    c.setColorScheme(cscalcDark);
    EXPECT_EQ(c.colorScheme(), cscalcDark);
    EXPECT_EQ(c.Display(), clBlack);
    EXPECT_EQ(c.displayTextColor(), clAqua);
    EXPECT_EQ(notified, 1);
    c.setOperatorButtons(clRed);
    EXPECT_EQ(c.colorScheme(), cscalcCustom);
    EXPECT_EQ(c.operatorButtons(), clRed);
    EXPECT_EQ(c.Display(), clBlack);
    EXPECT_EQ(c.numberButtons(), clMaroon);
}

TEST(Colors, ChoosingCustomKeepsCurrentColours) {
    CalculatorColors c;
    c.setColorScheme(cscalcOcean);
    c.setColorScheme(cscalcCustom);
    EXPECT_EQ(c.colorScheme(), cscalcCustom);
    EXPECT_EQ(c.Display(), clAqua);
    EXPECT_EQ(c.editButtons(), clPurple);
}

TEST(Colors, CaptionColourGroups) {
    CalculatorColors c;
    c.setColorScheme(cscalcDark);
    struct Row {
        Key b;
        bool memoryZero;
        Color color;
    };
    const Row rows[] = {
        {cbMemClear, true, clGray},    {cbMemRecall, true, clGray},  {cbMemClear, false, clNavy},
        {cbMemRecall, false, clNavy},  {cbMemStore, true, clNavy},   {cbMemAdd, true, clNavy},
        {cbMemSubtract, true, clNavy}, {cbBack, false, clBlack},     {cbClearTape, false, clBlack},
        {cbClear, false, clBlack},     {cbAdd, false, clBlue},       {cbEquals, false, clBlue},
        {cbDigit5, false, clMaroon},   {cbDecimal, false, clMaroon}, {cbSqrt, false, clTeal},
        {cbChangeSign, false, clTeal},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.b) + (row.memoryZero ? " memory 0" : ""));
        EXPECT_EQ(buttonCaptionColor(c, row.b, row.memoryZero), row.color);
    }
}

}  // namespace
}  // namespace corvalo::deskcalc
