#include "calculator/calc_colors.h"

namespace corvalo::calculator {

namespace {

constexpr CalcColorSet kWindows = {clGray, clWindow, clWindowText, clMaroon,
                                   clNavy, clRed,    clBlue,       clRed};
constexpr CalcColorSet kDark = {clGray, clBlack, clAqua,   clBlack,
                                clTeal, clNavy,  clMaroon, clBlue};
constexpr CalcColorSet kOcean = {clGray, clAqua, clBlack, clPurple,
                                 clNavy, clNavy, clAqua,  clBlue};
constexpr CalcColorSet kPlain = {clGray, clWhite, clNavy, clBlack, clNavy, clNavy, clBlue, clBlue};

}  // namespace

const CalcColorSet& SchemeColors(TOvcCalcColorScheme scheme) {
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

TOvcCalcColors::TOvcCalcColors() : colors_(kWindows) {}

void TOvcCalcColors::notify() {
    if (OnColorChange) OnColorChange();
    if (!schemeChanging_) scheme_ = cscalcCustom;
}

void TOvcCalcColors::SetColor(CalcColorIndex index, TColor value) {
    if (colors_[index] == value) return;
    colors_[index] = value;
    notify();
}

void TOvcCalcColors::SetColorScheme(TOvcCalcColorScheme scheme) {
    if (scheme == scheme_) return;
    schemeChanging_ = true;
    scheme_ = scheme;
    if (scheme != cscalcCustom) {
        colors_ = SchemeColors(scheme);
        notify();
    }
    schemeChanging_ = false;
}

void TOvcCalcColors::Assign(const TOvcCalcColors& other) {
    colors_ = other.colors_;
    scheme_ = other.scheme_;
    if (OnColorChange) OnColorChange();
}

TColor ButtonCaptionColor(const TOvcCalcColors& colors, TOvcCalculatorButton button,
                          bool memoryIsZero) {
    switch (button) {
        case cbMemClear:
        case cbMemRecall:
            return memoryIsZero ? colors.DisabledMemoryButtons() : colors.MemoryButtons();
        case cbMemStore:
        case cbMemAdd:
        case cbMemSubtract:
            return colors.MemoryButtons();
        case cbClearTape:
        case cbBack:
        case cbClearEntry:
        case cbClear:
            return colors.EditButtons();
        case cbAdd:
        case cbSubtract:
        case cbMultiply:
        case cbDivide:
        case cbEquals:
            return colors.OperatorButtons();
        case cbReciprocal:
        case cbChangeSign:
        case cbPercent:
        case cbSqrt:
            return colors.FunctionButtons();
        default:
            return colors.NumberButtons();  // digits and the decimal separator
    }
}

}  // namespace corvalo::calculator
