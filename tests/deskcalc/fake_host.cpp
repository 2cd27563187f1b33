#include "fake_host.h"

#include <map>
#include <stdexcept>
#include <string>

namespace corvalo::deskcalc::testing {

void Press(DeskCalculator& calc, std::string_view keys) {
    static const std::map<std::string, Key, std::less<>> named = {
        {"CT", Key::ClearTape},   {"Back", Key::Back},      {"CE", Key::ClearEntry},
        {"C", Key::Clear},        {"+", Key::Add},          {"-", Key::Subtract},
        {"*", Key::Multiply},     {"/", Key::Divide},       {"=", Key::Equals},
        {"1/x", Key::Reciprocal}, {"+/-", Key::ChangeSign}, {"%", Key::Percent},
        {"Sqrt", Key::Sqrt},      {"MC", Key::MemClear},    {"MR", Key::MemRecall},
        {"MS", Key::MemStore},    {"M+", Key::MemAdd},      {"M-", Key::MemSubtract}};
    std::size_t i = 0;
    while (i < keys.size()) {
        const std::size_t end = std::min(keys.find(' ', i), keys.size());
        const std::string_view token = keys.substr(i, end - i);
        i = end + 1;
        if (token.empty()) continue;
        const auto it = named.find(token);
        if (it != named.end()) {
            calc.pressButton(it->second);
            continue;
        }
        for (const char c : token) {
            if (c >= '0' && c <= '9') {
                calc.pressButton(digitKey(c - '0'));
            } else if (c == calc.decimalSeparator()) {
                calc.pressButton(Key::Decimal);
            } else {
                throw std::invalid_argument("unknown key token: " + std::string(token));
            }
        }
    }
}

}  // namespace corvalo::deskcalc::testing
