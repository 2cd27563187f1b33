#include "fake_host.h"

#include <sstream>
#include <stdexcept>
#include <string>

#include "deskcalc/layout.h"

namespace corvalo::deskcalc::testing {

static Key keyCaptioned(std::string_view caption, char decimalSeparator) {
    for (int i = 1; i <= kButtonCount; ++i) {
        if (buttonCaption(keyAt(i), decimalSeparator) == caption) return keyAt(i);
    }
    return Key::None;
}

void Press(DeskCalculator& calc, std::string_view keys) {
    std::istringstream tokens{std::string(keys)};
    for (std::string token; tokens >> token;) {
        if (const Key whole = keyCaptioned(token, calc.decimalSeparator()); whole != Key::None) {
            calc.pressButton(whole);
            continue;
        }
        for (const char c : token) {
            const Key key = keyCaptioned(std::string_view(&c, 1), calc.decimalSeparator());
            if (key == Key::None) throw std::invalid_argument("no such key: " + token);
            calc.pressButton(key);
        }
    }
}

}  // namespace corvalo::deskcalc::testing
