#include "deskcalc/entry.h"

#include <string>

#include "deskcalc/number.h"
#include "platform/error.h"

namespace corvalo::deskcalc {

namespace {

constexpr std::string_view kErrorText = "****** ";  // shown with the display's own blank

// "%3.3d": at least three digits, leading zeros. 2 -> "002", 1234 -> "1234".
std::string itemCountText(std::int64_t count) {
    std::string digits = std::to_string(count);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return digits;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

KeyMapping mapKeyChar(char c, char decimalSeparator) {
    const auto button = [](Key b) { return KeyMapping{KeyAction::Button, b}; };
    if (isDigit(c)) return button(static_cast<Key>(cbDigit0 + (c - '0')));
    if (c == decimalSeparator) return button(cbDecimal);
    switch (c) {
        case '\x03':
            return KeyMapping{KeyAction::Copy, cbNone};
        case '\x16':
            return KeyMapping{KeyAction::Paste, cbNone};
        case '\x08':
            return button(cbBack);
        case '\x0C':
            return button(cbMemClear);
        case '\x10':
            return button(cbMemAdd);
        case '\x12':
            return button(cbMemRecall);
        case '\x13':
            return button(cbMemSubtract);
        case '\x14':
            return button(cbClearTape);
        case '\x1B':
            return button(cbClear);
        case '%':
            return button(cbPercent);
        case '*':
            return button(cbMultiply);
        case '+':
            return button(cbAdd);
        case '-':
            return button(cbSubtract);
        case '.':
            return button(cbDecimal);
        case '/':
            return button(cbDivide);
        case '=':
            return button(cbEquals);
        case '@':
            return button(cbSqrt);
        case 'r':
            return button(cbReciprocal);
        default:
            return {};
    }
}

DeskCalculator::DeskCalculator(CalculatorHost& host, char decimalSeparator)
    : host_(host), decimalSeparator_(decimalSeparator) {}

void DeskCalculator::setOptions(CalculatorOptions options) {
    options_ = options;
    engine_.showSeparatePercent = hasOption(options, coShowSeparatePercent);
    tape_.setShown(hasOption(options, coShowTape));
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

long double DeskCalculator::readNumber(std::string_view text) const {
    return readCalcNumber(text, decimalSeparator_);
}

void DeskCalculator::entryFollowsText() {
    entryValue_ = readNumber(entryText_);
    entryDecimals_ = entryDecimalCount();
}

std::string DeskCalculator::formatDisplay(long double value) const {
    return formatCalcNumber(value, engine_.decimals, decimalSeparator_);
}

std::int32_t DeskCalculator::entryDecimalCount() const {
    const auto p = entryText_.find(decimalSeparator_);
    if (p == std::string::npos) return 0;
    return static_cast<std::int32_t>(entryText_.size() - (p + 1));
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
    engine_.state = esError;
    host_.beep();
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
    if (pressedButton_ == cbNone) {
        pressedButton_ = button;
        host_.repaintButton(button);  // a key shows its button sunken while it is handled
    }
    try {
        operatorStep(button);
        switch (button) {
            case cbClearTape:
                tape_.clearTape();
                break;
            case cbBack:
                deleteLastChar();
                break;
            case cbClearEntry:
                clearEntry();
                break;
            case cbDecimal:
                enterDecimalPoint();
                break;
            case cbChangeSign:
                changeSign();
                break;
            case cbMemClear:
            case cbMemStore:
            case cbMemAdd:
            case cbMemSubtract:
                host_.repaintButton(cbMemClear);  // their colour follows the memory
                host_.repaintButton(cbMemRecall);
                break;
            default:
                if (button >= cbDigit0 && button <= cbDigit9) enterDigit(button);
                break;
        }
    } catch (const Error&) {
        showError();
    }
    if (!host_.pressHeldByMouse()) {
        const Key pressed = pressedButton_;
        pressedButton_ = cbNone;
        if (pressed != cbNone) host_.repaintButton(pressed);
    }
    lastButton_ = button;
    if (onButtonPressed) onButtonPressed(button);
}

void DeskCalculator::operatorStep(Key& button) {
    if (lastButton_ != cbClear && button == cbClear) {
        clearAll();
        tape_.addSeparatorLine(tapeSeparatorChar);
    }
    if ((engine_.state & esError) != 0) {
        host_.beep();
        return;
    }
    if ((lastButton_ == cbNone || lastButton_ == cbClear || lastButton_ == cbEquals) &&
        button == cbEquals) {
        button = cbClear;  // = after =, C or nothing clears all
        clearAll();
    }
    if (lastButton_ == cbPercent && (isArithmeticButton(button) || button == cbEquals)) {
        runOperation(button);  // the percentage is already the operand
        return;
    }
    if (lastButton_ == cbEquals && isArithmeticButton(button)) {
        // 5 + 3 = * 2 =: the operator takes the result as its operand.
        if (engine_.pushOperand(operationOf(button), readNumber(entryText_),
                                entryDecimalCount())) {
            runOperation(button);
            return;
        }
    }
    if (button == cbMemStore) {
        if (lastButton_ != cbEquals) runOperation(cbMemStore);
        setMemory(displayValue_);  // MS stores what the display shows
        return;
    }
    const bool pushed = engine_.pushOperand(operationOf(button), entryValue_, entryDecimals_);
    if (pushed) runOperation(button);
    if (button == cbEquals || button == cbReciprocal || button == cbSqrt) {
        entryValue_ = engine_.pop();  // the result is the next operand, not a stack entry
        entryDecimals_ = engine_.stackDecimals[0];
    }
    if (!pushed) return;
    if (button == cbMemClear || button == cbMemAdd || button == cbMemSubtract) {
        engine_.pop();  // 5 + 3 M+ = still gives 8: the pending sum keeps its operands
    } else if (button == cbMemRecall && (engine_.state & esReady) != 0) {
        // The memory becomes the entry, as if typed: 5 - MR = subtracts the memory from 5.
        entryDecimals_ = engine_.stackDecimals[0];
        entryValue_ = engine_.pop();
        engine_.pop();
    }
}

void DeskCalculator::runOperation(Key button) {
    if ((engine_.state & esReady) == 0) return;
    try {
        if (!engine_.addOperation(operationOf(button))) return;
        setDisplayValue(engine_.topOfStack());
        const std::string_view mark = tapeMarkOf(button);
        if (!mark.empty()) {
            const bool twice = isArithmeticButton(button) && button == lastButton_;
            tape_.addNumberLine(twice ? formatDisplay(entryValue_) : entryText_, mark);
        }
        if (button == cbEquals && engine_.lastOperation == opEquals) {
            if (hasOption(options_, coShowItemCount)) {
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

void DeskCalculator::enterDigit(Key button) {
    if (engine_.lastOperation == opEquals) clearAll();  // a digit after a result starts anew
    const std::int32_t decimals = engine_.decimals;
    if ((engine_.state & esNewEntry) != 0) {
        entryText_.clear();
        if (decimals < 0) {
            entryText_ = "0";
            entryText_ += decimalSeparator_;
            entryText_.append(static_cast<std::size_t>(-std::int64_t{decimals}), '0');
        }
        decimalEntered_ = false;  // a fresh entry has no separator typed yet
    }
    entryText_ += static_cast<char>('0' + (button - cbDigit0));
    if (negatePending_) {
        entryText_.insert(0, 1, '-');
        negatePending_ = false;
    }
    const auto p = entryText_.find(decimalSeparator_);
    if (decimals < 0 && !decimalEntered_ && p != std::string::npos && p + 1 < entryText_.size()) {
        // Adding-machine entry, 2 places: 0.05 and 7 -> 0.57, then 3 -> 5.73.
        const bool negative = entryText_.front() == '-';
        std::string shifted = entryText_.substr(0, p);
        shifted += entryText_[p + 1];
        shifted += decimalSeparator_;
        shifted.append(entryText_, p + 2);
        const std::size_t first = negative ? 1 : 0;
        if (shifted.size() > first && shifted[first] == '0') shifted.erase(first, 1);
        entryText_ = std::move(shifted);
    }
    entryFollowsText();
    if (entryValue_ == 0 && entryText_.find(decimalSeparator_) == std::string::npos) {
        entryText_ = "0";  // leading zeros are not kept
        setDisplayValue(entryValue_);
        engine_.state = kReadyNewEntry;
    } else {
        setDisplayValue(entryValue_);
        setDisplayText(entryText_);
        engine_.state = esReady;
    }
}

void DeskCalculator::enterDecimalPoint() {
    if (engine_.lastOperation == opEquals) clearAll();  // "." after a result starts anew too
    if ((engine_.state & esNewEntry) != 0) {
        entryText_ = "0";
        entryText_ += decimalSeparator_;
        setDisplayText(entryText_);
        decimalEntered_ = true;
        engine_.state = esReady;
        return;
    }
    if (entryText_.find(decimalSeparator_) != std::string::npos) return;
    entryText_ += decimalSeparator_;
    if (entryText_.front() == decimalSeparator_) {
        entryText_.insert(0, 1, '0');
    } else if (entryText_.size() == 2 && entryText_.front() == '-') {
        entryText_.insert(1, 1, '0');  // "-" then "." -> "-0."
    }
    const long double value = readNumber(entryText_);
    setDisplayText(entryText_);
    entryValue_ = value;
    entryDecimals_ = entryDecimalCount();
    engine_.state = esReady;
    decimalEntered_ = true;
}

void DeskCalculator::deleteLastChar() {
    if (entryText_.empty()) return;
    if (entryText_ == "-") {
        // Only a pending minus: Back takes it away (it is not a number to read).
        entryText_.clear();
        startEmptyEntry(false);
        return;
    }
    if (readNumber(entryText_) == 0) return;
    if (entryText_.size() == 1) {
        startEmptyEntry(false);
        return;
    }
    const bool negative = entryText_.front() == '-';
    std::string rest = negative ? entryText_.substr(1) : entryText_;
    const auto p = rest.find(decimalSeparator_);
    if (engine_.decimals < 0 && !decimalEntered_ && p != std::string::npos && p >= 1) {
        // Adding-machine entry backs out one place: 12.31 -> 1.231, then the 1 goes.
        std::string shifted = "0";
        shifted.append(rest, 0, p - 1);
        shifted += decimalSeparator_;
        shifted += rest[p - 1];
        shifted.append(rest, p + 1);
        if (shifted.size() >= 2 && shifted[0] == '0' && shifted[1] != decimalSeparator_) {
            shifted.erase(0, 1);
        }
        rest = std::move(shifted);
    }
    rest.pop_back();
    if (rest.empty()) {
        // "-5" and Back: the minus stays for the next digit, as after +/- on an empty entry.
        entryText_ = "-";
        startEmptyEntry(true);
        return;
    }
    entryText_ = negative ? "-" + rest : rest;
    entryFollowsText();
    setDisplayText(entryText_);
}

void DeskCalculator::startEmptyEntry(bool minusPending) {
    entryValue_ = 0;
    entryDecimals_ = 0;
    negatePending_ = minusPending;
    setDisplayValue(0);
    engine_.state = kReadyNewEntry;
}

void DeskCalculator::clearEntry() {
    entryText_.clear();
    entryValue_ = 0;
    entryDecimals_ = 0;
    negatePending_ = false;
    setDisplayValue(0);
}

void DeskCalculator::changeSign() {
    if (entryText_.empty() || entryText_ == "-") {
        // CE +/- 7 gives -7: the sign waits for the next number. A lone "-" toggles back.
        startEmptyEntry(!negatePending_ && entryText_.empty());
        entryText_ = negatePending_ ? "-" : "";
        return;
    }
    if (entryText_.front() == '-') {
        entryText_.erase(0, 1);
    } else {
        entryText_.insert(0, 1, '-');
    }
    entryFollowsText();
    setDisplayText(entryText_);
    setDisplayValue(entryValue_);
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
    host_.setClipboardText(displayText_);
}

void DeskCalculator::paste() {
    const std::optional<std::string> text = host_.clipboardText();
    if (!text || text->empty()) return;
    clearAll();
    for (const char c : *text) {
        const bool accepted = isDigit(c) || c == decimalSeparator_ ||
                              std::string_view("%*+-./=").find(c) != std::string_view::npos;
        if (accepted) keyPress(c);
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
    const std::string n = s.substr(0, s.size() - 2);  // without the blank and the mark
    long double value = 0;
    try {
        value = readNumber(n);
    } catch (const Error&) {
        return;  // a separator or any line that is not a number
    }
    const std::int32_t typedDecimals = entryDecimalCount();
    setDisplayValue(value);
    entryValue_ = value;
    const auto p = n.find(decimalSeparator_);
    entryDecimals_ = p == std::string::npos ? 0 : static_cast<std::int32_t>(n.size() - (p + 1));
    if (value != engine_.topOfStack()) engine_.pushOperand(opEquals, value, typedDecimals);
    entryText_ = n.substr(n.find_first_not_of(' '));
}

}  // namespace corvalo::deskcalc
