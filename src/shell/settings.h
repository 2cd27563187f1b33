#pragma once

#include <cstdint>
#include <string>

#include "clipcalc/calc_state.h"
#include "platform/font_chooser.h"

namespace corvalo::platform {
class IniStorage;
}

namespace corvalo::shell {

// The shell's own record of what outlives a run.
struct ShellSettings {
    bool stayOnTop = false;
    std::int32_t expandedHeight = 456;
    std::int32_t expandedWidth = 494;
    std::int32_t collapsedWidth = 494;
    std::int32_t calculatorHeight = 400;
    std::int32_t calculatorWidth = 440;
    bool calculatorDefaultStartup = false;
    std::string proxy;
    std::string proxyPort;
    // Off by default; stored under [Show] only once on or already in the file.
    bool showTape = false;        // the calculator's paper tape
    bool watchClipboard = false;  // calculate whatever another program copies
    bool watchSelection = false;  // calculate whatever is highlighted
    bool statisticsLine = false;  // the chosen line's figures under the grid
};

// Everything loadSettings writes into and saveSettings reads from. The window
// owns the real objects and applies the fonts and position to its widgets.
struct SettingsTargets {
    clipcalc::CalcState& calc;
    ShellSettings& shell;
    platform::FontSpec& mainFont;        // the display panel
    platform::FontSpec& gridFont;        // the grid
    platform::FontSpec& calculatorFont;  // the calculator display (always at least bold)
    std::int32_t& left;                  // the main window's position
    std::int32_t& top;
};

// "<currentDirectory>/corvalo.ini" (no separator added when it already ends in one).
std::string settingsFileName(const std::string& currentDirectory);
// The same for the process's current directory, read on each call.
std::string settingsFileName();

// Reads every key in order and applies it at once; never fails.
void loadSettings(const std::string& file, const SettingsTargets& t);

// Writes the stored keys in order into the file's text, then the file once; a
// refused write throws Error("Unable to write to <file>") and leaves the old file.
void saveSettings(const std::string& file, const SettingsTargets& t);

// The same over a given file system (tests pass a fake one).
void loadSettings(const std::string& file, const SettingsTargets& t,
                  platform::IniStorage& storage);
void saveSettings(const std::string& file, const SettingsTargets& t,
                  platform::IniStorage& storage);

}  // namespace corvalo::shell
