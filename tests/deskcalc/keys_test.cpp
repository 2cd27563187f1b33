#include "deskcalc/keys.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace corvalo::deskcalc {
namespace {

TEST(KeyMapping, CharacterTableWithCommaLocale) {
    const std::pair<char, Key> buttons[] = {
        {'\x08', Key::Back},      {'\x0C', Key::MemClear},    {'\x10', Key::MemAdd},
        {'\x12', Key::MemRecall}, {'\x13', Key::MemSubtract}, {'\x14', Key::ClearTape},
        {'\x1B', Key::Clear},     {'%', Key::Percent},        {'*', Key::Multiply},
        {'+', Key::Add},          {'-', Key::Subtract},       {'.', Key::Decimal},
        {',', Key::Decimal},      {'/', Key::Divide},         {'0', Key::Digit0},
        {'=', Key::Equals},       {'@', Key::Sqrt},           {'r', Key::Reciprocal},
    };
    for (const auto& [c, button] : buttons) {
        SCOPED_TRACE("character code " + std::to_string(int{c}));
        EXPECT_EQ(mapKeyChar(c, ',').action, KeyAction::Button);
        EXPECT_EQ(mapKeyChar(c, ',').button, button);
    }
    EXPECT_EQ(mapKeyChar('\x03', ',').action, KeyAction::Copy);
    EXPECT_EQ(mapKeyChar('\x16', ',').action, KeyAction::Paste);
    for (const char c : {'\r', 'R', 'x'}) EXPECT_EQ(mapKeyChar(c, ',').action, KeyAction::None);
}

}  // namespace
}  // namespace corvalo::deskcalc
