#include "deskcalc/colors.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace corvalo::deskcalc {
namespace {

ColorSet colorsOf(const CalculatorColors& c) {
    ColorSet set{};
    for (std::size_t i = 0; i < set.size(); ++i) set[i] = c.color(static_cast<ColorIndex>(i));
    return set;
}

// Disabled memory, display, display text, edit, function, memory, number, operator buttons.
constexpr ColorSet kWindows{0x808080, 0x80000005, 0x80000008, 0x000080,
                            0x800000, 0x0000FF,   0xFF0000,   0x0000FF};
constexpr ColorSet kDark{0x808080, 0, 0xFFFF00, 0, 0x808000, 0x800000, 0x000080, 0xFF0000};

TEST(Colors, SchemesCopyTheirRowsCustomKeepsThemOneColourByHandTurnsCustom) {
    EXPECT_EQ(colorsOf(CalculatorColors{}), kWindows);
    const std::pair<ColorScheme, ColorSet> rows[] = {{ColorScheme::Windows, kWindows},
                                                     {ColorScheme::Dark, kDark}};
    for (const auto& [scheme, row] : rows) {
        SCOPED_TRACE(static_cast<int>(scheme));
        CalculatorColors c;
        c.setColorScheme(scheme);
        EXPECT_EQ(c.colorScheme(), scheme);
        c.setColorScheme(ColorScheme::Custom);
        EXPECT_EQ(colorsOf(c), row);
        c.setColorScheme(scheme);
        c.setOperatorButtons(0x123456);  // one colour by hand: custom, the others stay
        ColorSet mixed = row;
        mixed[7] = 0x123456;
        EXPECT_EQ(colorsOf(c), mixed);
        EXPECT_EQ(c.colorScheme(), ColorScheme::Custom);
    }
}

TEST(Colors, CaptionColourByGroupInDarkScheme) {
    CalculatorColors c;
    c.setColorScheme(ColorScheme::Dark);
    const std::tuple<Key, bool, Color> rows[] = {
        {Key::MemRecall, true, 0x808080}, {Key::MemStore, true, 0x800000},
        {Key::Clear, false, 0},           {Key::Equals, false, 0xFF0000},
        {Key::Decimal, false, 0x000080},  {Key::ChangeSign, false, 0x808000}};
    for (const auto& [b, memoryZero, color] : rows) {
        SCOPED_TRACE(std::to_string(indexOf(b)) + (memoryZero ? " memory 0" : ""));
        EXPECT_EQ(buttonCaptionColor(c, b, memoryZero), color);
    }
}

}  // namespace
}  // namespace corvalo::deskcalc
