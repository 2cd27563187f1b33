#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "deskcalc/engine.h"

namespace corvalo::deskcalc {

// The 29 buttons of the desk calculator, in the order they are hit-tested and painted.
enum class Key : std::uint8_t {
    None,
    ClearTape,
    Back,
    ClearEntry,
    Clear,
    Add,
    Subtract,
    Multiply,
    Divide,
    Digit0,
    Digit1,
    Digit2,
    Digit3,
    Digit4,
    Digit5,
    Digit6,
    Digit7,
    Digit8,
    Digit9,
    Decimal,
    Equals,
    Reciprocal,
    ChangeSign,
    Percent,
    Sqrt,
    MemClear,
    MemRecall,
    MemStore,
    MemAdd,
    MemSubtract,
};
inline constexpr int kButtonCount = 29;  // Key::ClearTape .. Key::MemSubtract

// The key's number: an index into per-button tables (Key::None is 0).
constexpr std::size_t indexOf(Key key) {
    return static_cast<std::size_t>(key);
}
// The key of a number from 0 to kButtonCount.
constexpr Key keyAt(int index) {
    return static_cast<Key>(index);
}
constexpr bool isDigit(Key key) {
    return key >= Key::Digit0 && key <= Key::Digit9;
}
// Key::Digit0 + n for n from 0 to 9.
constexpr Key digitKey(int n) {
    return keyAt(static_cast<int>(Key::Digit0) + n);
}
// The digit character of a digit key: Key::Digit7 -> '7'.
constexpr char digitChar(Key key) {
    return static_cast<char>('0' + (static_cast<int>(key) - static_cast<int>(Key::Digit0)));
}

Operation operationOf(Key button);
// The mark written after the button's number on the tape; empty for buttons without one.
std::string_view tapeMarkOf(Key button);
bool isArithmeticButton(Key button);  // + - * /

// The character table of the keyboard (key-press, not key-down). Control characters
// stand for Ctrl+letter: '\x0C' (Ctrl+L) is MC. Copy and paste are not buttons.
enum class KeyAction : std::uint8_t { None, Button, Copy, Paste };
struct KeyMapping {
    KeyAction action = KeyAction::None;
    Key button = Key::None;
};
KeyMapping mapKeyChar(char c, char decimalSeparator);

}  // namespace corvalo::deskcalc
