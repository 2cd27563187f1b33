#include "deskcalc/entry.h"

#include <string>

#include "deskcalc/number.h"
#include "platform/error.h"

namespace corvalo::deskcalc {

namespace {

constexpr std::string_view kErrorText = "****** ";  // shown with the display's own blank

// At least three digits, leading zeros. 2 -> "002", 1234 -> "1234".
std::string itemCountText(std::int64_t count) {
    std::string digits = std::to_string(count);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return digits;
}

bool pastesAs(char c, char decimalSeparator) {
    return (c >= '0' && c <= '9') || c == decimalSeparator ||
           std::string_view("%*+-./=").find(c) != std::string_view::npos;
}

}  // namespace

DeskCalculator::DeskCalculator(CalculatorHost& host, char decimalSeparator)
    : host_(host), decimalSeparator_(decimalSeparator) {}

void DeskCalculator::setOptions(CalculatorOptions options) {
    options_ = options;
    engine_.showSeparatePercent = options.has(CalculatorOption::ShowSeparatePercent);
    tape_.setShown(options.has(CalculatorOption::ShowTape));
}

void DeskCalculator::setDecimals(std::int32_t decimals) {
    if (decimals == engine_.decimals) return;
    engine_.decimals = decimals;
    host_.layoutChanged();
}

void DeskCalculator::setMemory(long double value) {
    if (value == engine_.memory) return;
    engine_.memory = value;
    host_.layoutChanged();
}

long double DeskCalculator::numberOf(std::string_view text) const {
    return readNumber(text, decimalSeparator_);
}

void DeskCalculator::entryFollowsText() {
    entryValue_ = numberOf(entryText_);
    entryDecimals_ = entryDecimalCount();
}

std::string DeskCalculator::formatDisplay(long double value) const {
    return formatNumber(value, engine_.decimals, decimalSeparator_);
}

std::int32_t DeskCalculator::entryDecimalCount() const {
    const auto p = entryText_.find(decimalSeparator_);
    if (p == std::string::npos) return 0;
    return static_cast<std::int32_t>(entryText_.size() - (p + 1));
}

// The decimals the display shows: "2.25 " -> 2, "5 " -> 0; an exponent form counts as 0.
std::int32_t DeskCalculator::shownDecimalCount() const {
    const std::string_view shown(displayText_.data(), displayText_.size() - 1);
    if (shown.find_first_of("eE") != std::string_view::npos) return 0;
    const auto p = shown.find(decimalSeparator_);
    if (p == std::string_view::npos) return 0;
    return static_cast<std::int32_t>(shown.size() - (p + 1));
}

void DeskCalculator::setDisplayText(std::string_view text) {
    displayText_.assign(text);
    displayText_ += ' ';
    host_.displayTextChanged(displayText_);
}

void DeskCalculator::setDisplayValue(long double value) {
    displayValue_ = value;
    try {
        setDisplayText(formatDisplay(value));
    } catch (const Error&) {
        showError();
    }
}

void DeskCalculator::showError() {
    setDisplayText(kErrorText);
    engine_.state = kLocked;
    host_.beep();
}

bool DeskCalculator::refusedInError() {
    if (!engine_.state.error) return false;
    host_.beep();
    return true;
}

void DeskCalculator::clearAll() {
    engine_.reset();
    entryValue_ = 0;
    entryDecimals_ = 0;
    setDisplayValue(0);
    entryText_ = "0";
    negatePending_ = false;
    tape_.fill();
    setDisplayText("0");
}

void DeskCalculator::pressButton(Key button) {
    if (pressedButton_ == Key::None) {
        pressedButton_ = button;
        host_.repaintButton(button);  // a key shows its button sunken while it is handled
    }
    try {
        operatorStep(button);
        switch (button) {
            case Key::ClearTape:
                tape_.clearTape();
                break;
            case Key::Back:
                deleteLastChar();
                break;
            case Key::ClearEntry:
                clearEntry();
                break;
            case Key::Decimal:
                enterDecimalPoint();
                break;
            case Key::ChangeSign:
                changeSign();
                break;
            case Key::MemClear:
            case Key::MemStore:
            case Key::MemAdd:
            case Key::MemSubtract:
                host_.repaintButton(Key::MemClear);  // their colour follows the memory
                host_.repaintButton(Key::MemRecall);
                break;
            default:
                if (isDigit(button)) enterDigit(button);
                break;
        }
    } catch (const Error&) {
        showError();
    }
    if (!host_.pressHeldByMouse()) {
        const Key pressed = pressedButton_;
        pressedButton_ = Key::None;
        if (pressed != Key::None) host_.repaintButton(pressed);
    }
    lastButton_ = button;
    if (onButtonPressed) onButtonPressed(button);
}

// The engine's part of a button; it may turn an = into a C. Digits, Back, CE, C, CT,
// +/- and the separator push nothing here and reach only their entry editing.
void DeskCalculator::operatorStep(Key& button) {
    if (lastButton_ != Key::Clear && button == Key::Clear) {
        clearAll();
        tape_.addSeparatorLine(tapeSeparatorChar);
    }
    if (refusedInError()) return;
    if ((lastButton_ == Key::None || lastButton_ == Key::Clear || lastButton_ == Key::Equals) &&
        button == Key::Equals) {
        button = Key::Clear;  // = after =, C or nothing clears all
        clearAll();
    }
    if (lastButton_ == Key::Percent && (isArithmeticButton(button) || button == Key::Equals)) {
        runOperation(button);  // the percentage is already the operand
        return;
    }
    if (lastButton_ == Key::Equals && isArithmeticButton(button)) {
        // 5 + 3 = * 2 =: the operator takes the result as its operand.
        if (engine_.pushOperand(operationOf(button), numberOf(entryText_), entryDecimalCount())) {
            runOperation(button);
            return;
        }
    }
    if (button == Key::MemStore) {
        if (lastButton_ != Key::Equals) runOperation(Key::MemStore);
        storeDisplayInMemory();
        return;
    }
    const bool pushed = engine_.pushOperand(operationOf(button), entryValue_, entryDecimals_);
    if (pushed) runOperation(button);
    if (button == Key::Equals || button == Key::Reciprocal || button == Key::Sqrt) {
        entryValue_ = engine_.pop();  // the result is the next operand, not a stack entry
        entryDecimals_ = engine_.stackDecimals[0];
    }
    if (!pushed) return;
    if (button == Key::MemClear || button == Key::MemAdd || button == Key::MemSubtract) {
        engine_.pop();  // 5 + 3 M+ = still gives 8: the pending sum keeps its operands
    } else if (button == Key::MemRecall && engine_.state.ready) {
        // The memory becomes the entry, as if typed: 5 - MR = subtracts the memory from 5.
        entryDecimals_ = engine_.stackDecimals[0];
        entryValue_ = engine_.pop();
        engine_.pop();
    }
}

// MS keeps what the display shows, as it shows it: 2.25 typed keeps two decimals.
void DeskCalculator::storeDisplayInMemory() {
    setMemory(displayValue_);
    engine_.memoryDecimals = shownDecimalCount();
}

void DeskCalculator::runOperation(Key button) {
    if (!engine_.state.ready) return;
    try {
        if (!engine_.addOperation(operationOf(button))) return;
        setDisplayValue(engine_.topOfStack());
        const std::string_view mark = tapeMarkOf(button);
        if (!mark.empty()) {
            const bool twice = isArithmeticButton(button) && button == lastButton_;
            tape_.addNumberLine(twice ? formatDisplay(entryValue_) : entryText_, mark);
        }
        if (button == Key::Equals && engine_.lastOperation == Operation::Equals) {
            if (options_.has(CalculatorOption::ShowItemCount)) {
                tape_.addTextLine(itemCountText(std::int64_t{engine_.operationCount} + 1));
            }
            tape_.addNumberLine(formatDisplay(displayValue_), "*");
            tape_.addSeparatorLine(tapeSeparatorChar);
        }
        entryText_ = formatDisplay(displayValue_);
    } catch (const Error&) {
        showError();
    }
}

void DeskCalculator::keyPress(char c) {
    const KeyMapping m = mapKeyChar(c, decimalSeparator_);
    switch (m.action) {
        case KeyAction::Button:
            pressButton(m.button);
            break;
        case KeyAction::Copy:
            copyToClipboard();
            break;
        case KeyAction::Paste:
            paste();
            break;
        case KeyAction::None:
            break;
    }
}

void DeskCalculator::copyToClipboard() {
    if (refusedInError()) return;
    host_.setClipboardText(displayText_);
}

std::optional<std::string> DeskCalculator::entryTextToCopy() {
    if (refusedInError()) return std::nullopt;
    return entryText_;
}

void DeskCalculator::paste() {
    const std::optional<std::string> text = host_.clipboardText();
    if (!text || text->empty()) return;
    clearAll();
    for (const char c : *text) {
        if (pastesAs(c, decimalSeparator_)) keyPress(c);
    }
}

void DeskCalculator::setText(std::string_view text) {
    clearAll();
    for (const char c : text) keyPress(c);
}

void DeskCalculator::recallTapeLine(std::size_t index) {
    const auto& lines = tape_.lines();
    if (index >= lines.size()) return;
    const std::string s = lines[index];
    if (s.size() < 3 || s.find_first_not_of(' ') == std::string::npos) return;
    if (s[0] == '0' && s[1] != '.') return;
    if (s[s.size() - 2] != ' ') return;  // no blank before a mark: an item count, not a number
    const std::string n = s.substr(0, s.size() - 2);  // without the blank and the mark
    long double value = 0;
    try {
        value = numberOf(n);
    } catch (const Error&) {
        return;  // a separator or any line that is not a number
    }
    const std::int32_t typedDecimals = entryDecimalCount();
    setDisplayValue(value);
    entryValue_ = value;
    const auto p = n.find(decimalSeparator_);
    entryDecimals_ = p == std::string::npos ? 0 : static_cast<std::int32_t>(n.size() - (p + 1));
    if (value != engine_.topOfStack())
        engine_.pushOperand(Operation::Equals, value, typedDecimals);
    entryText_ = n.substr(n.find_first_not_of(' '));
}

}  // namespace corvalo::deskcalc
