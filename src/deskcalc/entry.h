#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "deskcalc/engine.h"
#include "deskcalc/keys.h"
#include "deskcalc/options.h"
#include "deskcalc/tape.h"

namespace corvalo::deskcalc {

// What the entry logic needs of the window it lives in.
class CalculatorHost {
  public:
    virtual ~CalculatorHost() = default;
    virtual void displayTextChanged(const std::string& text) = 0;
    virtual void repaintButton(Key button) = 0;  // at once, not queued
    virtual void layoutChanged() = 0;            // Memory or Decimals changed: lay out and repaint
    // The calculator has the focus and the primary mouse button is still down.
    virtual bool pressHeldByMouse() = 0;
    virtual void beep() = 0;
    // The clipboard's plain text, 8-bit; nothing when it offers none.
    virtual std::optional<std::string> clipboardText() = 0;
    virtual void setClipboardText(const std::string& ansi) = 0;
};

// The desk calculator's entry logic: every button press becomes entry text, engine
// calls, display text and tape lines. Keys 2 + 3 * 4 = show 20 (no precedence).
class DeskCalculator {
  public:
    DeskCalculator(CalculatorHost& host, char decimalSeparator);
    DeskCalculator(const DeskCalculator&) = delete;
    DeskCalculator& operator=(const DeskCalculator&) = delete;

    // The single entry point for clicks, keys, pasted characters and assigned text.
    void pressButton(Key button);
    void keyPress(char c);
    // The display text, trailing blank included; while the error shows, a beep instead.
    void copyToClipboard();
    // For the window's Edit > Copy: the number being typed or the last result. While the
    // error shows there is nothing to copy and the calculator beeps.
    std::optional<std::string> entryTextToCopy();
    void paste();
    void setText(std::string_view text);  // clearAll, then every character as a key
    void clearAll();
    // A double-click on a tape line: that number becomes the entry.
    void recallTapeLine(std::size_t index);

    std::string formatDisplay(long double value) const;
    std::int32_t entryDecimalCount() const;
    void setDisplayValue(long double value);
    void setDisplayText(std::string_view text);
    void showError();

    const std::string& displayText() const { return displayText_; }  // with its trailing blank
    const std::string& entryText() const { return entryText_; }
    long double displayValue() const { return displayValue_; }
    long double entryValue() const { return entryValue_; }
    std::int32_t entryDecimals() const { return entryDecimals_; }
    bool decimalEntered() const { return decimalEntered_; }
    bool negatePending() const { return negatePending_; }
    Key pressedButton() const { return pressedButton_; }
    void setPressedButton(Key b) { pressedButton_ = b; }
    Key lastButton() const { return lastButton_; }

    CalculatorOptions options() const { return options_; }
    void setOptions(CalculatorOptions options);  // the window lays out afterwards
    std::int32_t decimals() const { return engine_.decimals; }
    void setDecimals(std::int32_t decimals);
    long double memory() const { return engine_.memory; }
    void setMemory(long double value);  // the memory's decimal count stays
    char tapeSeparatorChar = '_';
    char decimalSeparator() const { return decimalSeparator_; }

    CalculatorEngine& engine() { return engine_; }
    const CalculatorEngine& engine() const { return engine_; }
    PaperTape& tape() { return tape_; }
    const PaperTape& tape() const { return tape_; }

    std::function<void(Key)> onButtonPressed;

  private:
    // Pressing a button: entry.cpp.
    void operatorStep(Key& button);
    void runOperation(Key button);
    void storeDisplayInMemory();
    std::int32_t shownDecimalCount() const;
    bool refusedInError();
    long double numberOf(std::string_view text) const;
    void entryFollowsText();

    // Editing the typed number: entry_editing.cpp.
    void enterDigit(Key button);
    void enterDecimalPoint();
    void deleteLastChar();
    void clearEntry();
    void changeSign();
    // Nothing typed: value 0 shown, a pending minus or not, the next digit starts anew.
    void startEmptyEntry(bool minusPending);
    bool typingStartsNewEntry() const;

    CalculatorHost& host_;
    char decimalSeparator_;
    CalculatorEngine engine_;
    PaperTape tape_;
    CalculatorOptions options_ = kDefaultOptions;
    std::string displayText_ = "0 ";
    long double displayValue_ = 0;
    std::string entryText_;
    long double entryValue_ = 0;
    std::int32_t entryDecimals_ = 0;
    bool decimalEntered_ = false;
    bool negatePending_ = false;
    Key pressedButton_ = Key::None;
    Key lastButton_ = Key::None;
};

}  // namespace corvalo::deskcalc
