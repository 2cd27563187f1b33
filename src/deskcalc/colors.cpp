#include "deskcalc/colors.h"

namespace corvalo::deskcalc {

namespace {

constexpr ColorSet kWindows = {kGray, kSystemWindow, kSystemWindowText, kMaroon, kNavy, kRed,
                               kBlue, kRed};
constexpr ColorSet kDark = {kGray, kBlack, kAqua, kBlack, kTeal, kNavy, kMaroon, kBlue};
constexpr ColorSet kOcean = {kGray, kAqua, kBlack, kPurple, kNavy, kNavy, kAqua, kBlue};
constexpr ColorSet kPlain = {kGray, kWhite, kNavy, kBlack, kNavy, kNavy, kBlue, kBlue};

}  // namespace

const ColorSet& schemeColors(ColorScheme scheme) {
    switch (scheme) {
        case ColorScheme::Dark:
            return kDark;
        case ColorScheme::Ocean:
            return kOcean;
        case ColorScheme::Plain:
            return kPlain;
        default:
            return kWindows;
    }
}

CalculatorColors::CalculatorColors() : colors_(kWindows) {}

void CalculatorColors::notify() {
    if (onColorChange) onColorChange();
    if (!schemeChanging_) scheme_ = ColorScheme::Custom;
}

void CalculatorColors::setColor(ColorIndex index, Color value) {
    if (colors_[static_cast<std::size_t>(index)] == value) return;
    colors_[static_cast<std::size_t>(index)] = value;
    notify();
}

void CalculatorColors::setColorScheme(ColorScheme scheme) {
    if (scheme == scheme_) return;
    schemeChanging_ = true;
    scheme_ = scheme;
    if (scheme != ColorScheme::Custom) {
        colors_ = schemeColors(scheme);
        notify();
    }
    schemeChanging_ = false;
}

void CalculatorColors::assign(const CalculatorColors& other) {
    colors_ = other.colors_;
    scheme_ = other.scheme_;
    if (onColorChange) onColorChange();
}

Color buttonCaptionColor(const CalculatorColors& colors, Key button, bool memoryIsZero) {
    switch (button) {
        case Key::MemClear:
        case Key::MemRecall:
            return memoryIsZero ? colors.disabledMemoryButtons() : colors.memoryButtons();
        case Key::MemStore:
        case Key::MemAdd:
        case Key::MemSubtract:
            return colors.memoryButtons();
        case Key::ClearTape:
        case Key::Back:
        case Key::ClearEntry:
        case Key::Clear:
            return colors.editButtons();
        case Key::Add:
        case Key::Subtract:
        case Key::Multiply:
        case Key::Divide:
        case Key::Equals:
            return colors.operatorButtons();
        case Key::Reciprocal:
        case Key::ChangeSign:
        case Key::Percent:
        case Key::Sqrt:
            return colors.functionButtons();
        default:
            return colors.numberButtons();  // digits and the decimal separator
    }
}

}  // namespace corvalo::deskcalc
