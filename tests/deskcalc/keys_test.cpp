#include "deskcalc/keys.h"

#include <gtest/gtest.h>

#include <string>

namespace corvalo::deskcalc {
namespace {

TEST(KeyMapping, CharacterTable) {
    struct Row {
        char c;
        KeyAction action;
        Key button;
    };
    const Row rows[] = {
        {'\x03', KeyAction::Copy, Key::None},
        {'\x16', KeyAction::Paste, Key::None},
        {'\x08', KeyAction::Button, Key::Back},
        {'\x0C', KeyAction::Button, Key::MemClear},
        {'\x10', KeyAction::Button, Key::MemAdd},
        {'\x12', KeyAction::Button, Key::MemRecall},
        {'\x13', KeyAction::Button, Key::MemSubtract},
        {'\x14', KeyAction::Button, Key::ClearTape},
        {'\x1B', KeyAction::Button, Key::Clear},
        {'%', KeyAction::Button, Key::Percent},
        {'*', KeyAction::Button, Key::Multiply},
        {'+', KeyAction::Button, Key::Add},
        {'-', KeyAction::Button, Key::Subtract},
        {'.', KeyAction::Button, Key::Decimal},
        {',', KeyAction::Button, Key::Decimal},
        {'/', KeyAction::Button, Key::Divide},
        {'0', KeyAction::Button, Key::Digit0},
        {'9', KeyAction::Button, Key::Digit9},
        {'=', KeyAction::Button, Key::Equals},
        {'@', KeyAction::Button, Key::Sqrt},
        {'r', KeyAction::Button, Key::Reciprocal},
        {'\r', KeyAction::None, Key::None},
        {'R', KeyAction::None, Key::None},
        {'x', KeyAction::None, Key::None},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("character code ") + std::to_string(int{row.c}));
        const KeyMapping m = mapKeyChar(row.c, ',');
        EXPECT_EQ(m.action, row.action);
        EXPECT_EQ(m.button, row.button);
    }
}

}  // namespace
}  // namespace corvalo::deskcalc
