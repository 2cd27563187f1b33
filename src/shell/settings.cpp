#include "shell/settings.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/error.h"
#include "platform/ini_file.h"

namespace corvalo::shell {

namespace {

using platform::IniFile;
using platform::IniStorage;

constexpr std::string_view kFileName = "corvalo.ini";

// Only 1 is on; 2 is off.
bool readExactOne(const IniFile& ini, std::string_view section, std::string_view key,
                  std::int32_t def) {
    return ini.readInt(section, key, def) == 1;
}

// Colour first back to black, then size, face and colour; bold and italic are only added.
void loadFont(const IniFile& ini, const std::string& prefix, std::string_view defaultName,
              platform::FontSpec& font) {
    font.color = 0;
    font.size = ini.readInt("Fonts", prefix + "Size", 10);
    font.name = ini.readString("Fonts", prefix + "Name", defaultName);
    font.color = ini.readInt("Fonts", prefix + "Color", 0);
    if (readExactOne(ini, "Fonts", prefix + "Bold", 0)) font.bold = true;
    if (readExactOne(ini, "Fonts", prefix + "Italic", 0)) font.italic = true;
}

void writeInt(IniFile& ini, std::string_view section, std::string_view key, std::int32_t value) {
    ini.writeString(section, key, std::to_string(value));
}

void writeFlag(IniFile& ini, std::string_view section, std::string_view key, bool value) {
    ini.writeString(section, key, value ? "1" : "0");
}

// A key users who never turn the option on never see: their files stay as they were.
void writeFlagOnceUsed(IniFile& ini, std::string_view key, bool value) {
    if (value || ini.text().find("Show", key)) writeFlag(ini, "Show", key, value);
}

void saveFont(IniFile& ini, const std::string& prefix, const platform::FontSpec& font) {
    writeInt(ini, "Fonts", prefix + "Size", font.size);
    ini.writeString("Fonts", prefix + "Name", font.name);
    writeInt(ini, "Fonts", prefix + "Color", font.color);
    writeFlag(ini, "Fonts", prefix + "Bold", font.bold);
    writeFlag(ini, "Fonts", prefix + "Italic", font.italic);
}
}  // namespace

std::string settingsFileName(const std::string& currentDirectory) {
    // A current folder that is gone leaves a path relative to wherever we are.
    if (currentDirectory.empty()) return std::string(kFileName);
    std::string name = currentDirectory;
    if (name.back() != '/') name += '/';
    name += kFileName;
    return name;
}

std::string settingsFileName() {
    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    return settingsFileName(ec ? std::string() : cwd.string());
}

void loadSettings(const std::string& file, const SettingsTargets& t, IniStorage& storage) {
    const IniFile ini(storage, file);

    t.calc.setResultDecimals(ini.readInt("Show", "ResultDecimalFormat", 2));
    t.calc.tabulationStyle =
        clipcalc::tabulationStyleFromSetting(ini.readInt("Show", "TabulationStyle", 0));
    t.shell.stayOnTop = ini.readInt("Show", "StayOnTop", 0) != 0;

    loadFont(ini, "MainText", "MS Sans Serif", t.mainFont);
    loadFont(ini, "GridText", "Courier New", t.gridFont);
    t.calculatorFont.bold = true;  // its own style, which loading never takes away
    loadFont(ini, "CalculatorText", "Courier New", t.calculatorFont);

    t.left = ini.readInt("Form", "Left", 520);
    t.top = ini.readInt("Form", "Top", 240);
    t.shell.expandedHeight = ini.readInt("Form", "ExpandedHeight", 456);
    t.shell.expandedWidth = ini.readInt("Form", "ExpandedWidth", 494);
    t.shell.collapsedWidth = ini.readInt("Form", "CollapsedWidth", 494);
    t.shell.calculatorHeight = ini.readInt("Calculator", "Height", 400);
    t.shell.calculatorWidth = ini.readInt("Calculator", "Width", 440);
    t.shell.calculatorDefaultStartup = readExactOne(ini, "Form", "Calculator Default Startup", 0);
    t.shell.proxy = ini.readString("Internet", "Proxy", "");
    t.shell.proxyPort = ini.readString("Internet", "ProxyPort", "");
    t.calc.ignoreFirstRowWhenEmpty = clipcalc::ignoreFirstRowWhenEmptyFromSetting(
        ini.readInt("Show", "IgnoreFirstRowWhenEmpty", 1));
    t.shell.showTape = readExactOne(ini, "Show", "ShowTape", 0);
    t.shell.watchClipboard = readExactOne(ini, "Show", "WatchClipboard", 0);
    t.shell.watchSelection = readExactOne(ini, "Show", "WatchSelection", 0);
    t.calc.statementSigns = readExactOne(ini, "Show", "StatementSigns", 0);
    t.shell.statisticsLine = readExactOne(ini, "Show", "StatisticsLine", 0);
}

void loadSettings(const std::string& file, const SettingsTargets& t) {
    platform::DiskIniStorage disk;
    loadSettings(file, t, disk);
}

// The start page, the proxy and ignoreFirstRowWhenEmpty are the user's to edit: never written.
// Every key goes into the text first; the file is then written once, whole.
void saveSettings(const std::string& file, const SettingsTargets& t, IniStorage& storage) {
    IniFile ini(storage, file);
    writeInt(ini, "Show", "ResultDecimalFormat", t.calc.resultDecimals());
    writeInt(ini, "Show", "TabulationStyle",
             clipcalc::tabulationStyleToSetting(t.calc.tabulationStyle));
    writeFlag(ini, "Show", "StayOnTop", t.shell.stayOnTop);

    saveFont(ini, "MainText", t.mainFont);
    saveFont(ini, "GridText", t.gridFont);
    saveFont(ini, "CalculatorText", t.calculatorFont);

    writeInt(ini, "Form", "Left", t.left);
    writeInt(ini, "Form", "Top", t.top);
    writeInt(ini, "Form", "ExpandedHeight", t.shell.expandedHeight);
    writeInt(ini, "Form", "ExpandedWidth", t.shell.expandedWidth);
    writeInt(ini, "Form", "CollapsedWidth", t.shell.collapsedWidth);
    writeInt(ini, "Calculator", "Height", t.shell.calculatorHeight);
    writeInt(ini, "Calculator", "Width", t.shell.calculatorWidth);
    writeFlagOnceUsed(ini, "ShowTape", t.shell.showTape);
    writeFlagOnceUsed(ini, "WatchClipboard", t.shell.watchClipboard);
    writeFlagOnceUsed(ini, "WatchSelection", t.shell.watchSelection);
    writeFlagOnceUsed(ini, "StatementSigns", t.calc.statementSigns);
    writeFlagOnceUsed(ini, "StatisticsLine", t.shell.statisticsLine);
    if (!ini.save()) throw Error("Unable to write to " + file);
}

void saveSettings(const std::string& file, const SettingsTargets& t) {
    platform::DiskIniStorage disk;
    saveSettings(file, t, disk);
}

}  // namespace corvalo::shell
