#pragma once

#include <cstdint>
#include <cstdio>

#include "clipcalc/calc_state.h"
#include "shell/settings.h"

namespace corvalo::faults {

// The window's objects as saveSettings reads them; `variant` picks a set of values
// in which every written key differs from the other variant's.
struct SettingsWindow {
    explicit SettingsWindow(int variant = 0) {
        const bool b = variant != 0;
        const std::int32_t d = b ? 100 : 0;
        calc.setResultDecimals(b ? 5 : 3);
        calc.tabulationStyle =
            b ? clipcalc::TabulationStyle::UsingRows : clipcalc::TabulationStyle::UsingColumns;
        shell = {!b, 510 + d, 520 + d, 530 + d, 340 + d, 350 + d, false, "", ""};
        mainFont = {b ? "DejaVu Sans" : "MS Sans Serif", b ? 14 : 9, b ? 255 : 0, !b, b};
        gridFont = {b ? "DejaVu Sans Mono" : "Courier New", b ? 12 : 8, b ? -2147483643 : 128, b,
                    !b};
        calculatorFont = {b ? "Liberation Mono" : "Courier", b ? 16 : 11, b ? 65280 : 1, !b, b};
        left = 200 - d;
        top = 250 - d;
    }
    shell::SettingsTargets targets() {
        return {calc, shell, mainFont, gridFont, calculatorFont, left, top};
    }

    clipcalc::CalcState calc;
    shell::ShellSettings shell;
    platform::FontSpec mainFont;
    platform::FontSpec gridFont;
    platform::FontSpec calculatorFont;
    std::int32_t left = 0;
    std::int32_t top = 0;
};

// One line of the counts that the hardening note quotes.
inline void printCounts(const char* what, long injected, long survived) {
    std::printf("[faults] %s: injected %ld, survived %ld\n", what, injected, survived);
    std::fflush(stdout);
}

}  // namespace corvalo::faults
