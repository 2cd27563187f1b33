#include "deskcalc/colors.h"

namespace corvalo::deskcalc {

namespace {

constexpr CalcColorSet kWindows = {clGray, clWindow, clWindowText, clMaroon,
                                   clNavy, clRed,    clBlue,       clRed};
constexpr CalcColorSet kDark = {clGray, clBlack, clAqua,   clBlack,
                                clTeal, clNavy,  clMaroon, clBlue};
constexpr CalcColorSet kOcean = {clGray, clAqua, clBlack, clPurple,
                                 clNavy, clNavy, clAqua,  clBlue};
constexpr CalcColorSet kPlain = {clGray, clWhite, clNavy, clBlack, clNavy, clNavy, clBlue, clBlue};

}  // namespace

const CalcColorSet& schemeColors(ColorScheme scheme) {
    switch (scheme) {
        case cscalcDark:
            return kDark;
        case cscalcOcean:
            return kOcean;
        case cscalcPlain:
            return kPlain;
        default:
            return kWindows;
    }
}

CalculatorColors::CalculatorColors() : colors_(kWindows) {}

void CalculatorColors::notify() {
    if (onColorChange) onColorChange();
    if (!schemeChanging_) scheme_ = cscalcCustom;
}

void CalculatorColors::setColor(CalcColorIndex index, Color value) {
    if (colors_[index] == value) return;
    colors_[index] = value;
    notify();
}

void CalculatorColors::setColorScheme(ColorScheme scheme) {
    if (scheme == scheme_) return;
    schemeChanging_ = true;
    scheme_ = scheme;
    if (scheme != cscalcCustom) {
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

Color buttonCaptionColor(const CalculatorColors& colors, Key button,
                          bool memoryIsZero) {
    switch (button) {
        case cbMemClear:
        case cbMemRecall:
            return memoryIsZero ? colors.disabledMemoryButtons() : colors.memoryButtons();
        case cbMemStore:
        case cbMemAdd:
        case cbMemSubtract:
            return colors.memoryButtons();
        case cbClearTape:
        case cbBack:
        case cbClearEntry:
        case cbClear:
            return colors.editButtons();
        case cbAdd:
        case cbSubtract:
        case cbMultiply:
        case cbDivide:
        case cbEquals:
            return colors.operatorButtons();
        case cbReciprocal:
        case cbChangeSign:
        case cbPercent:
        case cbSqrt:
            return colors.functionButtons();
        default:
            return colors.numberButtons();  // digits and the decimal separator
    }
}

}  // namespace corvalo::deskcalc
