#include "deskcalc/keys.h"

namespace corvalo::deskcalc {

Operation operationOf(Key button) {
    switch (button) {
        case Key::Add:
            return Operation::Add;
        case Key::Subtract:
            return Operation::Subtract;
        case Key::Multiply:
            return Operation::Multiply;
        case Key::Divide:
            return Operation::Divide;
        case Key::Equals:
            return Operation::Equals;
        case Key::Reciprocal:
            return Operation::Reciprocal;
        case Key::Percent:
            return Operation::Percent;
        case Key::Sqrt:
            return Operation::Sqrt;
        case Key::MemClear:
            return Operation::MemClear;
        case Key::MemRecall:
            return Operation::MemRecall;
        case Key::MemStore:
            return Operation::MemStore;
        case Key::MemAdd:
            return Operation::MemAdd;
        case Key::MemSubtract:
            return Operation::MemSubtract;
        default:
            return Operation::None;
    }
}

std::string_view tapeMarkOf(Key button) {
    switch (button) {
        case Key::Add:
            return "+";
        case Key::Subtract:
            return "-";
        case Key::Multiply:
            return "*";
        case Key::Divide:
            return "/";
        case Key::Equals:
            return "=";
        case Key::Percent:
            return "%";
        default:
            return {};
    }
}

bool isArithmeticButton(Key button) {
    return button == Key::Add || button == Key::Subtract || button == Key::Multiply ||
           button == Key::Divide;
}

KeyMapping mapKeyChar(char c, char decimalSeparator) {
    const auto button = [](Key b) { return KeyMapping{KeyAction::Button, b}; };
    if (c >= '0' && c <= '9') return button(digitKey(c - '0'));
    if (c == decimalSeparator) return button(Key::Decimal);
    switch (c) {
        case '\x03':
            return KeyMapping{KeyAction::Copy, Key::None};
        case '\x16':
            return KeyMapping{KeyAction::Paste, Key::None};
        case '\x08':
            return button(Key::Back);
        case '\x0C':
            return button(Key::MemClear);
        case '\x10':
            return button(Key::MemAdd);
        case '\x12':
            return button(Key::MemRecall);
        case '\x13':
            return button(Key::MemSubtract);
        case '\x14':
            return button(Key::ClearTape);
        case '\x1B':
            return button(Key::Clear);
        case '%':
            return button(Key::Percent);
        case '*':
            return button(Key::Multiply);
        case '+':
            return button(Key::Add);
        case '-':
            return button(Key::Subtract);
        case '.':
            return button(Key::Decimal);
        case '/':
            return button(Key::Divide);
        case '=':
            return button(Key::Equals);
        case '@':
            return button(Key::Sqrt);
        case 'r':
            return button(Key::Reciprocal);
        default:
            return {};
    }
}

}  // namespace corvalo::deskcalc
