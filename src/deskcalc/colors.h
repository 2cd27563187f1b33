#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "deskcalc/keys.h"

namespace corvalo::deskcalc {

// 0x00BBGGRR; a system colour is 0x80000000 plus the system-colour index.
using Color = std::uint32_t;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kMaroon = 0x000080;
inline constexpr Color kNavy = 0x800000;
inline constexpr Color kPurple = 0x800080;
inline constexpr Color kTeal = 0x808000;
inline constexpr Color kGray = 0x808080;
inline constexpr Color kRed = 0x0000FF;
inline constexpr Color kBlue = 0xFF0000;
inline constexpr Color kAqua = 0xFFFF00;
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kSystemButtonFace = 0x8000000F;
inline constexpr Color kSystemWindow = 0x80000005;
inline constexpr Color kSystemWindowText = 0x80000008;

enum class ColorScheme : std::uint8_t { Custom, Windows, Dark, Ocean, Plain };

// The eight colours, in the order of a scheme's row.
enum class ColorIndex : std::uint8_t {
    DisabledMemoryButtons,
    Display,
    DisplayTextColor,
    EditButtons,
    FunctionButtons,
    MemoryButtons,
    NumberButtons,
    OperatorButtons,
};
using ColorSet = std::array<Color, 8>;

// The scheme's row of colours; ColorScheme::Custom has none and gives the Windows row.
const ColorSet& schemeColors(ColorScheme scheme);

// The calculator's colour set. Choosing a scheme copies its row; changing any one
// colour by hand turns the scheme back to ColorScheme::Custom.
class CalculatorColors {
  public:
    CalculatorColors();

    Color color(ColorIndex index) const { return colors_[static_cast<std::size_t>(index)]; }
    void setColor(ColorIndex index, Color value);
    ColorScheme colorScheme() const { return scheme_; }
    void setColorScheme(ColorScheme scheme);
    void assign(const CalculatorColors& other);  // the eight colours and the scheme

    Color disabledMemoryButtons() const { return color(ColorIndex::DisabledMemoryButtons); }
    Color display() const { return color(ColorIndex::Display); }
    Color displayTextColor() const { return color(ColorIndex::DisplayTextColor); }
    Color editButtons() const { return color(ColorIndex::EditButtons); }
    Color functionButtons() const { return color(ColorIndex::FunctionButtons); }
    Color memoryButtons() const { return color(ColorIndex::MemoryButtons); }
    Color numberButtons() const { return color(ColorIndex::NumberButtons); }
    Color operatorButtons() const { return color(ColorIndex::OperatorButtons); }
    void setOperatorButtons(Color c) { setColor(ColorIndex::OperatorButtons, c); }

    std::function<void()> onColorChange;  // the owner's colour handler

  private:
    void notify();

    ColorSet colors_{};
    ColorScheme scheme_ = ColorScheme::Custom;
    bool schemeChanging_ = false;
};

// The caption colour of a button by its group; MC and MR are grey while the memory is 0.
Color buttonCaptionColor(const CalculatorColors& colors, Key button, bool memoryIsZero);

}  // namespace corvalo::deskcalc
