#include "fake_host.h"

#include <map>
#include <stdexcept>
#include <string>

namespace corvalo::deskcalc::testing {

void Press(DeskCalculator& calc, std::string_view keys) {
    static const std::map<std::string, Key, std::less<>> named = {
        {"CT", cbClearTape}, {"Back", cbBack},      {"CE", cbClearEntry},  {"C", cbClear},
        {"+", cbAdd},        {"-", cbSubtract},     {"*", cbMultiply},     {"/", cbDivide},
        {"=", cbEquals},     {"1/x", cbReciprocal}, {"+/-", cbChangeSign}, {"%", cbPercent},
        {"Sqrt", cbSqrt},    {"MC", cbMemClear},    {"MR", cbMemRecall},   {"MS", cbMemStore},
        {"M+", cbMemAdd},    {"M-", cbMemSubtract}};
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
                calc.pressButton(static_cast<Key>(cbDigit0 + (c - '0')));
            } else if (c == calc.decimalSeparator()) {
                calc.pressButton(cbDecimal);
            } else {
                throw std::invalid_argument("unknown key token: " + std::string(token));
            }
        }
    }
}

}  // namespace corvalo::deskcalc::testing
