#pragma once

#include <cstdint>
#include <string>

#include "calc/calc_state.h"

namespace corvalo::platform {
class ProfileStorage;
}

namespace corvalo::shell {

// A font as the settings file knows it. Colour is 0x00BBGGRR, or a system
// colour (top bit set: negative).
struct FontSettings {
    std::string Name;
    std::int32_t Size = 10;  // points
    std::int32_t Color = 0;
    bool Bold = false;
    bool Italic = false;
};

// The shell's own record of what outlives a run.
struct ShellSettings {
    bool StayOnTop = false;
    std::int32_t ExpandedHeight = 456;
    std::int32_t ExpandedWidth = 494;
    std::int32_t CollapsedWidth = 494;
    std::int32_t CalculatorHeight = 400;
    std::int32_t CalculatorWidth = 440;
    bool CalculatorDefaultStartup = false;
    std::string Proxy;
    std::string ProxyPort;
};

// Everything LoadSettings writes into and SaveSettings reads from. The window
// owns the real objects and applies the fonts and position to its widgets.
struct SettingsTargets {
    calc::CalcState& Calc;
    ShellSettings& Shell;
    FontSettings& MainFont;        // the display panel
    FontSettings& GridFont;        // the grid
    FontSettings& CalculatorFont;  // the calculator display (always at least bold)
    std::int32_t& Left;            // the main window's position
    std::int32_t& Top;
};

// "<currentDirectory>/corvalo.ini" (no separator added when it already ends in one).
std::string SettingsFileName(const std::string& currentDirectory);
// The same for the process's current directory, read on each call.
std::string SettingsFileName();

// Reads every key in order and applies it at once; never fails.
void LoadSettings(const std::string& file, const SettingsTargets& t);

// Writes the stored keys in order; a refused write throws
// Error("Unable to write to <file>") and leaves the keys before it written.
void SaveSettings(const std::string& file, const SettingsTargets& t);

// The same over a given file system (tests pass a fake one).
void LoadSettings(const std::string& file, const SettingsTargets& t,
                  platform::ProfileStorage& storage);
void SaveSettings(const std::string& file, const SettingsTargets& t,
                  platform::ProfileStorage& storage);

}  // namespace corvalo::shell
