// Editing the number being typed: digits, the separator, Back, CE and +/-.
#include "deskcalc/entry.h"

#include <string>

namespace corvalo::deskcalc {

namespace {

// Adding-machine entry moves the separator right as a digit comes in, with 2 places:
// "0.057" -> "0.57", then "0.573" -> "5.73". p is the separator's position.
std::string shiftSeparatorRight(const std::string& text, std::size_t p, char separator) {
    const bool negative = text.front() == '-';
    std::string shifted = text.substr(0, p);
    shifted += text[p + 1];
    shifted += separator;
    shifted.append(text, p + 2);
    const std::size_t first = negative ? 1 : 0;
    if (shifted.size() > first && shifted[first] == '0') shifted.erase(first, 1);
    return shifted;
}

// Back in adding-machine entry moves it left before the last digit goes: "12.31" ->
// "1.231". `digits` is the text without its sign; p is the separator's position, >= 1.
std::string shiftSeparatorLeft(const std::string& digits, std::size_t p, char separator) {
    std::string shifted = "0";
    shifted.append(digits, 0, p - 1);
    shifted += separator;
    shifted += digits[p - 1];
    shifted.append(digits, p + 1);
    if (shifted.size() >= 2 && shifted[0] == '0' && shifted[1] != separator) shifted.erase(0, 1);
    return shifted;
}

bool hasExponent(const std::string& text) {
    return text.find_first_of("eE") != std::string::npos;
}

}  // namespace

// After a result, or in the error state, typing starts a new number.
bool DeskCalculator::typingStartsNewEntry() const {
    return engine_.state.newEntry || engine_.state.error;
}

void DeskCalculator::enterDigit(Key button) {
    if (engine_.lastOperation == Operation::Equals) clearAll();  // a new calculation
    const std::int32_t decimals = engine_.decimals;
    if (typingStartsNewEntry()) {
        entryText_.clear();
        if (decimals < 0) {
            entryText_ = "0";
            entryText_ += decimalSeparator_;
            entryText_.append(static_cast<std::size_t>(-std::int64_t{decimals}), '0');
        }
        decimalEntered_ = false;  // a fresh entry has no separator typed yet
    }
    entryText_ += digitChar(button);
    if (negatePending_) {
        entryText_.insert(0, 1, '-');
        negatePending_ = false;
    }
    const auto p = entryText_.find(decimalSeparator_);
    if (decimals < 0 && !decimalEntered_ && p != std::string::npos && p + 1 < entryText_.size()) {
        entryText_ = shiftSeparatorRight(entryText_, p, decimalSeparator_);
    }
    entryFollowsText();
    if (entryValue_ == 0 && entryText_.find(decimalSeparator_) == std::string::npos) {
        entryText_ = "0";  // leading zeros are not kept
        setDisplayValue(entryValue_);
        engine_.state = kReadyForNewEntry;
    } else {
        setDisplayValue(entryValue_);
        setDisplayText(entryText_);
        engine_.state = kEntering;
    }
}

void DeskCalculator::enterDecimalPoint() {
    if (engine_.lastOperation == Operation::Equals) clearAll();  // as a digit after a result
    if (typingStartsNewEntry()) {
        entryText_ = "0";
        entryText_ += decimalSeparator_;
        setDisplayText(entryText_);
        decimalEntered_ = true;
        engine_.state = kEntering;
        return;
    }
    if (entryText_.find(decimalSeparator_) != std::string::npos) return;
    entryText_ += decimalSeparator_;
    if (entryText_.front() == decimalSeparator_) {
        entryText_.insert(0, 1, '0');
    } else if (entryText_.size() == 2 && entryText_.front() == '-') {
        entryText_.insert(1, 1, '0');  // "-" then "." -> "-0."
    }
    const long double value = numberOf(entryText_);
    setDisplayText(entryText_);
    entryValue_ = value;
    entryDecimals_ = entryDecimalCount();
    engine_.state = kEntering;
    decimalEntered_ = true;
}

void DeskCalculator::deleteLastChar() {
    if (entryText_.empty()) return;
    if (hasExponent(entryText_)) {
        clearEntry();  // "1e-05" less a character is another number, or none at all
        return;
    }
    if (entryText_ == "-") {
        // Only a pending minus: Back takes it away (it is not a number to read).
        entryText_.clear();
        startEmptyEntry(false);
        return;
    }
    if (numberOf(entryText_) == 0) return;
    if (entryText_.size() == 1) {
        clearEntry();
        engine_.state = kReadyForNewEntry;
        return;
    }
    const bool negative = entryText_.front() == '-';
    std::string rest = negative ? entryText_.substr(1) : entryText_;
    const auto p = rest.find(decimalSeparator_);
    if (engine_.decimals < 0 && !decimalEntered_ && p != std::string::npos && p >= 1) {
        rest = shiftSeparatorLeft(rest, p, decimalSeparator_);  // then the last digit goes
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
    engine_.state = kReadyForNewEntry;
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

}  // namespace corvalo::deskcalc
