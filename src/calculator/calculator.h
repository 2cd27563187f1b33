#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "calculator/calc_engine.h"
#include "calculator/calc_options.h"
#include "calculator/calc_tape.h"

namespace corvalo::calculator {

// What the entry logic needs of the window it lives in.
class CalculatorHost {
  public:
    virtual ~CalculatorHost() = default;
    virtual void DisplayTextChanged(const std::string& text) = 0;
    virtual void RepaintButton(TOvcCalculatorButton button) = 0;  // at once, not queued
    virtual void LayoutChanged() = 0;  // Memory or Decimals changed: lay out and repaint
    // The calculator has the focus and the primary mouse button is still down.
    virtual bool PressHeldByMouse() = 0;
    virtual void Beep() = 0;
    // The clipboard's plain text, 8-bit; nothing when it offers none.
    virtual std::optional<std::string> ClipboardText() = 0;
    virtual void SetClipboardText(const std::string& ansi) = 0;
};

// The character table of the keyboard (key-press, not key-down). Control characters
// stand for Ctrl+letter: '\x0C' (Ctrl+L) is MC. Copy and paste are not buttons.
enum class KeyAction : std::uint8_t { None, Button, Copy, Paste };
struct KeyMapping {
    KeyAction action = KeyAction::None;
    TOvcCalculatorButton button = cbNone;
};
KeyMapping MapKeyChar(char c, char decimalSeparator);

// The desk calculator's entry logic: every button press becomes entry text, engine
// calls, display text and tape lines. Keys 2 + 3 * 4 = show 20 (no precedence).
class TOvcCustomCalculator {
  public:
    TOvcCustomCalculator(CalculatorHost& host, char decimalSeparator);
    TOvcCustomCalculator(const TOvcCustomCalculator&) = delete;
    TOvcCustomCalculator& operator=(const TOvcCustomCalculator&) = delete;

    // The single entry point for clicks, keys, pasted characters and assigned text.
    void PressButton(TOvcCalculatorButton button);
    void KeyPress(char c);
    void CopyToClipboard();  // the display text, trailing blank included
    void Paste();
    void SetText(std::string_view text);  // ClearAll, then every character as a key
    void ClearAll();
    // A double-click on a tape line: that number becomes the entry.
    void RecallTapeLine(std::size_t index);

    std::string FormatDisplay(long double value) const;
    std::int32_t EntryDecimalCount() const;
    void SetDisplayValue(long double value);
    void SetDisplayText(std::string_view text);
    void ShowError();

    const std::string& DisplayText() const { return displayText_; }  // with its trailing blank
    const std::string& EntryText() const { return entryText_; }
    long double DisplayValue() const { return displayValue_; }
    long double EntryValue() const { return entryValue_; }
    std::int32_t EntryDecimals() const { return entryDecimals_; }
    bool DecimalEntered() const { return decimalEntered_; }
    bool NegatePending() const { return negatePending_; }
    TOvcCalculatorButton PressedButton() const { return pressedButton_; }
    void SetPressedButton(TOvcCalculatorButton b) { pressedButton_ = b; }
    TOvcCalculatorButton LastButton() const { return lastButton_; }

    TOvcCalculatorOptions Options() const { return options_; }
    void SetOptions(TOvcCalculatorOptions options);  // the window lays out afterwards
    std::int32_t Decimals() const { return engine_.Decimals; }
    void SetDecimals(std::int32_t decimals);
    long double Memory() const { return engine_.Memory; }
    void SetMemory(long double value);
    char TapeSeparatorChar = '_';
    char DecimalSeparator() const { return decimalSeparator_; }

    TOvcBasicCalculatorEngine& Engine() { return engine_; }
    const TOvcBasicCalculatorEngine& Engine() const { return engine_; }
    TOvcCalcTape& Tape() { return tape_; }
    const TOvcCalcTape& Tape() const { return tape_; }

    std::function<void(TOvcCalculatorButton)> OnButtonPressed;

  private:
    void operatorStep(TOvcCalculatorButton& button);
    void RunOperation(TOvcCalculatorButton button);
    void EnterDigit(TOvcCalculatorButton button);
    void EnterDecimalPoint();
    void DeleteLastChar();
    void ClearEntry();
    void ChangeSign();
    // Nothing typed: value 0 shown, a pending minus or not, the next digit starts anew.
    void startEmptyEntry(bool minusPending);
    long double readNumber(std::string_view text) const;
    void entryFollowsText();

    CalculatorHost& host_;
    char decimalSeparator_;
    TOvcBasicCalculatorEngine engine_;
    TOvcCalcTape tape_;
    TOvcCalculatorOptions options_ = kDefaultOptions;
    std::string displayText_ = "0 ";
    long double displayValue_ = 0;
    std::string entryText_;
    long double entryValue_ = 0;
    std::int32_t entryDecimals_ = 0;
    bool decimalEntered_ = false;
    bool negatePending_ = false;
    TOvcCalculatorButton pressedButton_ = cbNone;
    TOvcCalculatorButton lastButton_ = cbNone;
};

}  // namespace corvalo::calculator
