#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "clipcalc/calc_state.h"
#include "platform/ini_storage.h"
#include "shell/settings.h"

namespace corvalo::faults {

// The window's objects as saveSettings reads them; `variant` picks a set of values
// in which every written key differs from the other variant's.
struct SettingsWindow {
    explicit SettingsWindow(int variant = 0) {
        const bool b = variant != 0;
        calc.setResultDecimals(b ? 5 : 3);
        calc.tabulationStyle =
            b ? clipcalc::TabulationStyle::UsingRows : clipcalc::TabulationStyle::UsingColumns;
        shell = {!b,
                 b ? 610 : 510,
                 b ? 620 : 520,
                 b ? 630 : 530,
                 b ? 440 : 340,
                 b ? 450 : 350,
                 false,
                 "",
                 ""};
        mainFont = {b ? "DejaVu Sans" : "MS Sans Serif", b ? 14 : 9, b ? 255 : 0, !b, b};
        gridFont = {b ? "DejaVu Sans Mono" : "Courier New", b ? 12 : 8, b ? -2147483643 : 128, b,
                    !b};
        calculatorFont = {b ? "Liberation Mono" : "Courier", b ? 16 : 11, b ? 65280 : 1, !b, b};
        left = b ? 100 : 200;
        top = b ? 150 : 250;
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

// Files in memory; every replacement is kept in `history`.
class MemoryStorage final : public platform::IniStorage {
  public:
    std::map<std::string, std::string> files;
    std::vector<std::string> history;

    ReadResult read(const std::string& path, std::string& bytes) override {
        bytes.clear();
        const auto it = files.find(path);
        if (it == files.end()) return ReadResult::Missing;
        bytes = it->second;
        return ReadResult::Ok;
    }
    bool replace(const std::string& path, std::string_view bytes) override {
        files[path] = std::string(bytes);
        history.emplace_back(bytes);
        return true;
    }
};

// One line of the counts that the hardening note quotes.
inline void printCounts(const char* what, long injected, long survived, long extra = -1,
                        const char* extraName = "") {
    if (extra >= 0) {
        std::printf("[faults] %s: injected %ld, survived %ld, %s %ld\n", what, injected, survived,
                    extraName, extra);
    } else {
        std::printf("[faults] %s: injected %ld, survived %ld\n", what, injected, survived);
    }
    std::fflush(stdout);
}

}  // namespace corvalo::faults
