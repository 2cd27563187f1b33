#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "deskcalc/engine.h"

namespace corvalo::deskcalc {

// 0x00BBGGRR; a system colour is 0x80000000 plus the system-colour index.
using Color = std::uint32_t;
inline constexpr Color clBlack = 0x000000;
inline constexpr Color clMaroon = 0x000080;
inline constexpr Color clNavy = 0x800000;
inline constexpr Color clPurple = 0x800080;
inline constexpr Color clTeal = 0x808000;
inline constexpr Color clGray = 0x808080;
inline constexpr Color clRed = 0x0000FF;
inline constexpr Color clBlue = 0xFF0000;
inline constexpr Color clAqua = 0xFFFF00;
inline constexpr Color clWhite = 0xFFFFFF;
inline constexpr Color clBtnFace = 0x8000000F;
inline constexpr Color clWindow = 0x80000005;
inline constexpr Color clWindowText = 0x80000008;

enum ColorScheme : std::uint8_t {
    cscalcCustom,
    cscalcWindows,
    cscalcDark,
    cscalcOcean,
    cscalcPlain,
};

// The eight colours, in property index order.
enum CalcColorIndex : std::uint8_t {
    ccDisabledMemoryButtons,
    ccDisplay,
    ccDisplayTextColor,
    ccEditButtons,
    ccFunctionButtons,
    ccMemoryButtons,
    ccNumberButtons,
    ccOperatorButtons,
};
using CalcColorSet = std::array<Color, 8>;

// The scheme's row of colours; cscalcCustom has none and gives the Windows row.
const CalcColorSet& schemeColors(ColorScheme scheme);

// The calculator's colour set. Choosing a scheme copies its row; changing any one
// colour by hand turns the scheme back to cscalcCustom.
class CalculatorColors {
  public:
    CalculatorColors();

    Color color(CalcColorIndex index) const { return colors_[index]; }
    void setColor(CalcColorIndex index, Color value);
    ColorScheme colorScheme() const { return scheme_; }
    void setColorScheme(ColorScheme scheme);
    void assign(const CalculatorColors& other);  // the eight colours and the scheme

    Color disabledMemoryButtons() const { return colors_[ccDisabledMemoryButtons]; }
    Color Display() const { return colors_[ccDisplay]; }
    Color displayTextColor() const { return colors_[ccDisplayTextColor]; }
    Color editButtons() const { return colors_[ccEditButtons]; }
    Color functionButtons() const { return colors_[ccFunctionButtons]; }
    Color memoryButtons() const { return colors_[ccMemoryButtons]; }
    Color numberButtons() const { return colors_[ccNumberButtons]; }
    Color operatorButtons() const { return colors_[ccOperatorButtons]; }
    void setOperatorButtons(Color c) { setColor(ccOperatorButtons, c); }

    std::function<void()> onColorChange;  // the owner's colour handler

  private:
    void notify();

    CalcColorSet colors_{};
    ColorScheme scheme_ = cscalcCustom;
    bool schemeChanging_ = false;
};

// The caption colour of a button by its group; MC and MR are grey while the memory is 0.
Color buttonCaptionColor(const CalculatorColors& colors, Key button,
                          bool memoryIsZero);

}  // namespace corvalo::deskcalc
