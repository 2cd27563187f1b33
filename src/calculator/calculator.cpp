#include "calculator/calculator.h"

#include <string>

#include "calculator/calc_number.h"
#include "platform/error.h"

namespace corvalo::calculator {

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

KeyMapping MapKeyChar(char c, char decimalSeparator) {
    const auto button = [](TOvcCalculatorButton b) { return KeyMapping{KeyAction::Button, b}; };
    if (isDigit(c)) return button(static_cast<TOvcCalculatorButton>(cbDigit0 + (c - '0')));
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

TOvcCustomCalculator::TOvcCustomCalculator(CalculatorHost& host, char decimalSeparator)
    : host_(host), decimalSeparator_(decimalSeparator) {}

void TOvcCustomCalculator::SetOptions(TOvcCalculatorOptions options) {
    options_ = options;
    engine_.ShowSeparatePercent = HasOption(options, coShowSeparatePercent);
    tape_.SetShown(HasOption(options, coShowTape));
}

void TOvcCustomCalculator::SetDecimals(std::int32_t decimals) {
    if (decimals == engine_.Decimals) return;
    engine_.Decimals = decimals;
    host_.LayoutChanged();
}

void TOvcCustomCalculator::SetMemory(long double value) {
    if (value == engine_.Memory) return;
    engine_.Memory = value;
    host_.LayoutChanged();
}

long double TOvcCustomCalculator::readNumber(std::string_view text) const {
    return ReadCalcNumber(text, decimalSeparator_);
}

void TOvcCustomCalculator::entryFollowsText() {
    entryValue_ = readNumber(entryText_);
    entryDecimals_ = EntryDecimalCount();
}

std::string TOvcCustomCalculator::FormatDisplay(long double value) const {
    return FormatCalcNumber(value, engine_.Decimals, decimalSeparator_);
}

std::int32_t TOvcCustomCalculator::EntryDecimalCount() const {
    const auto p = entryText_.find(decimalSeparator_);
    if (p == std::string::npos) return 0;
    return static_cast<std::int32_t>(entryText_.size() - (p + 1));
}

void TOvcCustomCalculator::SetDisplayText(std::string_view text) {
    displayText_.assign(text);
    displayText_ += ' ';
    host_.DisplayTextChanged(displayText_);
}

void TOvcCustomCalculator::SetDisplayValue(long double value) {
    displayValue_ = value;
    try {
        SetDisplayText(FormatDisplay(value));
    } catch (const Error&) {
        ShowError();
    }
}

void TOvcCustomCalculator::ShowError() {
    SetDisplayText(kErrorText);
    engine_.State = esError;
    host_.Beep();
}

void TOvcCustomCalculator::ClearAll() {
    engine_.Reset();
    entryValue_ = 0;
    entryDecimals_ = 0;
    SetDisplayValue(0);
    entryText_ = "0";
    negatePending_ = false;
    tape_.Fill();
    SetDisplayText("0");
}

void TOvcCustomCalculator::PressButton(TOvcCalculatorButton button) {
    if (pressedButton_ == cbNone) {
        pressedButton_ = button;
        host_.RepaintButton(button);  // a key shows its button sunken while it is handled
    }
    try {
        operatorStep(button);
        switch (button) {
            case cbClearTape:
                tape_.ClearTape();
                break;
            case cbBack:
                DeleteLastChar();
                break;
            case cbClearEntry:
                ClearEntry();
                break;
            case cbDecimal:
                EnterDecimalPoint();
                break;
            case cbChangeSign:
                ChangeSign();
                break;
            case cbMemClear:
            case cbMemStore:
            case cbMemAdd:
            case cbMemSubtract:
                host_.RepaintButton(cbMemClear);  // their colour follows the memory
                host_.RepaintButton(cbMemRecall);
                break;
            default:
                if (button >= cbDigit0 && button <= cbDigit9) EnterDigit(button);
                break;
        }
    } catch (const Error&) {
        ShowError();
    }
    if (!host_.PressHeldByMouse()) {
        const TOvcCalculatorButton pressed = pressedButton_;
        pressedButton_ = cbNone;
        if (pressed != cbNone) host_.RepaintButton(pressed);
    }
    lastButton_ = button;
    if (OnButtonPressed) OnButtonPressed(button);
}

void TOvcCustomCalculator::operatorStep(TOvcCalculatorButton& button) {
    if (lastButton_ != cbClear && button == cbClear) {
        ClearAll();
        tape_.AddSeparatorLine(TapeSeparatorChar);
    }
    if ((engine_.State & esError) != 0) {
        host_.Beep();
        return;
    }
    if ((lastButton_ == cbNone || lastButton_ == cbClear || lastButton_ == cbEquals) &&
        button == cbEquals) {
        button = cbClear;  // = after =, C or nothing clears all
        ClearAll();
    }
    if (lastButton_ == cbPercent && (IsArithmeticButton(button) || button == cbEquals)) {
        RunOperation(button);  // the percentage is already the operand
        return;
    }
    if (lastButton_ == cbEquals && IsArithmeticButton(button)) {
        // 5 + 3 = * 2 =: the operator takes the result as its operand.
        if (engine_.PushOperand(OperationOf(button), readNumber(entryText_),
                                EntryDecimalCount())) {
            RunOperation(button);
            return;
        }
    }
    if (button == cbMemStore) {
        if (lastButton_ != cbEquals) RunOperation(cbMemStore);
        SetMemory(displayValue_);  // MS stores what the display shows
        return;
    }
    const bool pushed = engine_.PushOperand(OperationOf(button), entryValue_, entryDecimals_);
    if (pushed) RunOperation(button);
    if (button == cbEquals || button == cbReciprocal || button == cbSqrt) {
        entryValue_ = engine_.Pop();  // the result is the next operand, not a stack entry
        entryDecimals_ = engine_.StackDecimals[0];
    }
    if (!pushed) return;
    if (button == cbMemClear || button == cbMemAdd || button == cbMemSubtract) {
        engine_.Pop();  // 5 + 3 M+ = still gives 8: the pending sum keeps its operands
    } else if (button == cbMemRecall && (engine_.State & esReady) != 0) {
        // The memory becomes the entry, as if typed: 5 - MR = subtracts the memory from 5.
        entryDecimals_ = engine_.StackDecimals[0];
        entryValue_ = engine_.Pop();
        engine_.Pop();
    }
}

void TOvcCustomCalculator::RunOperation(TOvcCalculatorButton button) {
    if ((engine_.State & esReady) == 0) return;
    try {
        if (!engine_.AddOperation(OperationOf(button))) return;
        SetDisplayValue(engine_.TopOfStack());
        const std::string_view mark = TapeMarkOf(button);
        if (!mark.empty()) {
            const bool twice = IsArithmeticButton(button) && button == lastButton_;
            tape_.AddNumberLine(twice ? FormatDisplay(entryValue_) : entryText_, mark);
        }
        if (button == cbEquals && engine_.LastOperation == opEquals) {
            if (HasOption(options_, coShowItemCount)) {
                tape_.AddTextLine(itemCountText(std::int64_t{engine_.OperationCount} + 1));
            }
            tape_.AddNumberLine(FormatDisplay(displayValue_), "*");
            tape_.AddSeparatorLine(TapeSeparatorChar);
        }
        entryText_ = FormatDisplay(displayValue_);
    } catch (const Error&) {
        ShowError();
    }
}

void TOvcCustomCalculator::EnterDigit(TOvcCalculatorButton button) {
    if (engine_.LastOperation == opEquals) ClearAll();  // a digit after a result starts anew
    const std::int32_t decimals = engine_.Decimals;
    if ((engine_.State & esNewEntry) != 0) {
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
        SetDisplayValue(entryValue_);
        engine_.State = kReadyNewEntry;
    } else {
        SetDisplayValue(entryValue_);
        SetDisplayText(entryText_);
        engine_.State = esReady;
    }
}

void TOvcCustomCalculator::EnterDecimalPoint() {
    if (engine_.LastOperation == opEquals) ClearAll();  // "." after a result starts anew too
    if ((engine_.State & esNewEntry) != 0) {
        entryText_ = "0";
        entryText_ += decimalSeparator_;
        SetDisplayText(entryText_);
        decimalEntered_ = true;
        engine_.State = esReady;
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
    SetDisplayText(entryText_);
    entryValue_ = value;
    entryDecimals_ = EntryDecimalCount();
    engine_.State = esReady;
    decimalEntered_ = true;
}

void TOvcCustomCalculator::DeleteLastChar() {
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
    if (engine_.Decimals < 0 && !decimalEntered_ && p != std::string::npos && p >= 1) {
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
    SetDisplayText(entryText_);
}

void TOvcCustomCalculator::startEmptyEntry(bool minusPending) {
    entryValue_ = 0;
    entryDecimals_ = 0;
    negatePending_ = minusPending;
    SetDisplayValue(0);
    engine_.State = kReadyNewEntry;
}

void TOvcCustomCalculator::ClearEntry() {
    entryText_.clear();
    entryValue_ = 0;
    entryDecimals_ = 0;
    negatePending_ = false;
    SetDisplayValue(0);
}

void TOvcCustomCalculator::ChangeSign() {
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
    SetDisplayText(entryText_);
    SetDisplayValue(entryValue_);
}

void TOvcCustomCalculator::KeyPress(char c) {
    const KeyMapping m = MapKeyChar(c, decimalSeparator_);
    switch (m.action) {
        case KeyAction::Button:
            PressButton(m.button);
            break;
        case KeyAction::Copy:
            CopyToClipboard();
            break;
        case KeyAction::Paste:
            Paste();
            break;
        case KeyAction::None:
            break;
    }
}

void TOvcCustomCalculator::CopyToClipboard() {
    host_.SetClipboardText(displayText_);
}

void TOvcCustomCalculator::Paste() {
    const std::optional<std::string> text = host_.ClipboardText();
    if (!text || text->empty()) return;
    ClearAll();
    for (const char c : *text) {
        const bool accepted = isDigit(c) || c == decimalSeparator_ ||
                              std::string_view("%*+-./=").find(c) != std::string_view::npos;
        if (accepted) KeyPress(c);
    }
}

void TOvcCustomCalculator::SetText(std::string_view text) {
    ClearAll();
    for (const char c : text) KeyPress(c);
}

void TOvcCustomCalculator::RecallTapeLine(std::size_t index) {
    const auto& lines = tape_.Lines();
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
    const std::int32_t typedDecimals = EntryDecimalCount();
    SetDisplayValue(value);
    entryValue_ = value;
    const auto p = n.find(decimalSeparator_);
    entryDecimals_ = p == std::string::npos ? 0 : static_cast<std::int32_t>(n.size() - (p + 1));
    if (value != engine_.TopOfStack()) engine_.PushOperand(opEquals, value, typedDecimals);
    entryText_ = n.substr(n.find_first_not_of(' '));
}

}  // namespace corvalo::calculator
