#include "shell/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/ini_text.h"
#include "support/fake_ini_storage.h"
#include "support/temp_dir.h"

namespace corvalo::shell {
namespace {

using clipcalc::TabulationStyle;
using namespace corvalo::testing;

// What the first close writes when every value is at its default: no [Show] flag yet.
const std::string kFirstSave =
    "[Show]\nResultDecimalFormat=2\nTabulationStyle=0\nStayOnTop=0\n\n[Fonts]\n"
    "MainTextSize=10\nMainTextName=MS Sans Serif\nMainTextColor=0\nMainTextBold=0\n"
    "MainTextItalic=0\nGridTextSize=10\nGridTextName=Courier New\nGridTextColor=0\n"
    "GridTextBold=0\nGridTextItalic=0\nCalculatorTextSize=10\nCalculatorTextName=Courier New\n"
    "CalculatorTextColor=0\nCalculatorTextBold=1\nCalculatorTextItalic=0\n\n"
    "[Form]\nLeft=520\nTop=240\nExpandedHeight=456\nExpandedWidth=494\nCollapsedWidth=494\n\n"
    "[Calculator]\nHeight=400\nWidth=440\n";

// The window's objects, filled with values no key gives, so a key that is not
// applied shows. The fonts start without styles, as the window's do.
struct Window {
    Window() {
        calc.setResultDecimals(7);
        calc.tabulationStyle = TabulationStyle::UsingRows;
        calc.ignoreFirstRowWhenEmpty = false;
        shell = {false, 1, 2, 3, 4, 5, true, "stale", "stale"};
        mainFont = gridFont = calculatorFont = {"stale", 1, 99, false, false};
    }
    SettingsTargets targets() {
        return {calc, shell, mainFont, gridFont, calculatorFont, left, top};
    }
    void load(FakeIniStorage& fake) { loadSettings("corvalo.ini", targets(), fake); }
    void save(FakeIniStorage& fake) { saveSettings("corvalo.ini", targets(), fake); }

    clipcalc::CalcState calc;
    ShellSettings shell;
    platform::FontSpec mainFont, gridFont, calculatorFont;
    std::int32_t left = -1, top = -1;
};

// Regression: every key used to be its own replacement of the file, 25 in one close.
TEST(Settings, DefaultsAndTheKeysOnlyTheUserWrites) {
    FakeIniStorage fake;
    Window w;
    {
        SCOPED_TRACE("no file: the defaults, all written in one save after the user's keys");
        w.load(fake);
        EXPECT_TRUE(w.calc.ignoreFirstRowWhenEmpty && !w.shell.calculatorDefaultStartup);
        EXPECT_EQ(w.shell.proxy + w.shell.proxyPort, "");
        const std::string mine = "; mine\n[Internet]\nProxy=cache.lan\n";
        fake.files["corvalo.ini"] = mine;
        w.save(fake);
        EXPECT_EQ(fake.files["corvalo.ini"], mine + "\n" + kFirstSave);
        EXPECT_EQ(fake.replacements, 1);
    }
    SCOPED_TRACE("the user's keys are read but never written; styles are only added");
    w.mainFont.bold = w.gridFont.italic = true;
    fake.files["corvalo.ini"] =
        "[Form]\nCalculator Default Startup=2\n[Internet]\nProxy=cache.lan\nProxyPort=8080\n"
        "[Show]\nIgnoreFirstRowWhenEmpty=2\n[Fonts]\nMainTextBold=0\nGridTextItalic=0\n";
    w.load(fake);
    EXPECT_FALSE(w.calc.ignoreFirstRowWhenEmpty);  // only 1 is on
    EXPECT_EQ(w.shell.proxy + ":" + w.shell.proxyPort, "cache.lan:8080");
    EXPECT_TRUE(w.mainFont.bold && w.gridFont.italic);
    w.save(fake);
    const platform::IniText saved(fake.files["corvalo.ini"]);
    EXPECT_EQ(saved.get("Form", "Calculator Default Startup", ""), "2");
    EXPECT_EQ(saved.get("Show", "IgnoreFirstRowWhenEmpty", ""), "2");
}

// One key in the file (section, key, value) and what the save then holds for it. Plain
// values are pinned by the round trip below; these are the keys with a rule.
TEST(Settings, KeysWithARuleAreReadAndSavedBack) {
    const std::tuple<const char*, const char*, const char*, const char*> rows[] = {
        {"Show", "TabulationStyle", "5", "1"},      // not 0: columns
        {"Show", "StayOnTop", "7", "1"},            // not 0: on
        {"Fonts", "MainTextItalic", "2", "0"},      // only 1 is on
        {"Fonts", "CalculatorTextBold", "0", "1"},  // always bold
        {"Show", "ShowTape", "2", "0"},             // once there, always written
        {"Show", "WatchClipboard", "1", "1"},
        {"Show", "WatchSelection", "1", "1"},
        {"Show", "StatementSigns", "1", "1"},
        {"Show", "StatisticsLine", "1", "1"},
    };
    for (const auto& [section, key, value, saved] : rows) {
        SCOPED_TRACE(std::string(key) + "=" + value);
        FakeIniStorage fake;
        fake.files["corvalo.ini"] = "[" + std::string(section) + "]\n" + key + "=" + value + "\n";
        Window w;
        w.load(fake);
        w.save(fake);
        EXPECT_EQ(platform::IniText(fake.files["corvalo.ini"]).get(section, key, "<missing>"),
                  saved);
    }
}

// Every written value differs from the stale window's, and every flag is on, so a value
// that is not written, or read back from another key, shows in the second file.
TEST(Settings, RoundTripWritesTheSameBytes) {
    TempDir dir;
    Window window;
    window.calc.setResultDecimals(9);
    window.calc.tabulationStyle = TabulationStyle::UsingColumns;
    window.shell = {true, 600, 700, 310, 380, 420, false, "", "", true, true, true, true};
    window.mainFont = {"DejaVu Sans", 18, 0x00336699, true, true};
    window.gridFont = {"DejaVu Sans Mono", 9, -2147483640, false, true};
    window.calculatorFont = {"Liberation Mono", 12, -2147483643, true, false};
    window.left = -8;
    window.top = 0;
    saveSettings((dir / "first.ini").string(), window.targets());
    Window fresh;
    loadSettings((dir / "first.ini").string(), fresh.targets());
    saveSettings((dir / "second.ini").string(), fresh.targets());
    EXPECT_EQ(readFile(dir / "second.ini"), readFile(dir / "first.ini"));
}

}  // namespace
}  // namespace corvalo::shell
