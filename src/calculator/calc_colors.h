#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "calculator/calc_engine.h"

namespace corvalo::calculator {

// 0x00BBGGRR; a system colour is 0x80000000 plus the system-colour index.
using TColor = std::uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clWindow = 0x80000005;
inline constexpr TColor clWindowText = 0x80000008;

enum TOvcCalcColorScheme : std::uint8_t {
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
using CalcColorSet = std::array<TColor, 8>;

// The scheme's row of colours; cscalcCustom has none and gives the Windows row.
const CalcColorSet& SchemeColors(TOvcCalcColorScheme scheme);

// The calculator's colour set. Choosing a scheme copies its row; changing any one
// colour by hand turns the scheme back to cscalcCustom.
class TOvcCalcColors {
  public:
    TOvcCalcColors();

    TColor Color(CalcColorIndex index) const { return colors_[index]; }
    void SetColor(CalcColorIndex index, TColor value);
    TOvcCalcColorScheme ColorScheme() const { return scheme_; }
    void SetColorScheme(TOvcCalcColorScheme scheme);
    void Assign(const TOvcCalcColors& other);  // the eight colours and the scheme

    TColor DisabledMemoryButtons() const { return colors_[ccDisabledMemoryButtons]; }
    TColor Display() const { return colors_[ccDisplay]; }
    TColor DisplayTextColor() const { return colors_[ccDisplayTextColor]; }
    TColor EditButtons() const { return colors_[ccEditButtons]; }
    TColor FunctionButtons() const { return colors_[ccFunctionButtons]; }
    TColor MemoryButtons() const { return colors_[ccMemoryButtons]; }
    TColor NumberButtons() const { return colors_[ccNumberButtons]; }
    TColor OperatorButtons() const { return colors_[ccOperatorButtons]; }
    void SetOperatorButtons(TColor c) { SetColor(ccOperatorButtons, c); }

    std::function<void()> OnColorChange;  // the owner's colour handler

  private:
    void notify();

    CalcColorSet colors_{};
    TOvcCalcColorScheme scheme_ = cscalcCustom;
    bool schemeChanging_ = false;
};

// The caption colour of a button by its group; MC and MR are grey while the memory is 0.
TColor ButtonCaptionColor(const TOvcCalcColors& colors, TOvcCalculatorButton button,
                          bool memoryIsZero);

}  // namespace corvalo::calculator
