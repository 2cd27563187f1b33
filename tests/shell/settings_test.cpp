#include "shell/settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "platform/ini_text.h"
#include "support/fake_ini_storage.h"
#include "support/temp_dir.h"

namespace corvalo::shell {
namespace {

using clipcalc::TabulationStyle;
using namespace corvalo::testing;
using FakeStorage = FakeIniStorage;
namespace fs = std::filesystem;

// What the first close writes when every value is at its default.
const std::string kFirstSave =
    "[Show]\nResultDecimalFormat=2\nTabulationStyle=0\nStayOnTop=0\n\n"
    "[Fonts]\n"
    "MainTextSize=10\nMainTextName=MS Sans Serif\nMainTextColor=0\n"
    "MainTextBold=0\nMainTextItalic=0\n"
    "GridTextSize=10\nGridTextName=Courier New\nGridTextColor=0\n"
    "GridTextBold=0\nGridTextItalic=0\n"
    "CalculatorTextSize=10\nCalculatorTextName=Courier New\nCalculatorTextColor=0\n"
    "CalculatorTextBold=1\nCalculatorTextItalic=0\n\n"
    "[Form]\nLeft=520\nTop=240\nExpandedHeight=456\nExpandedWidth=494\nCollapsedWidth=494\n\n"
    "[Calculator]\nHeight=400\nWidth=440\n";

// The window's objects, filled with values no key gives, so a key that is not
// applied shows. The fonts start without styles, as the window's do.
struct Window {
    Window() {
        calc.setResultDecimals(7);
        calc.tabulationStyle = TabulationStyle::UsingColumns;
        calc.ignoreFirstRowWhenEmpty = false;
        shell = {true, 1, 2, 3, 4, 5, true, "stale", "stale"};
        mainFont = gridFont = calculatorFont = {"stale", 1, 99, false, false};
    }
    SettingsTargets targets() {
        return {calc, shell, mainFont, gridFont, calculatorFont, left, top};
    }

    clipcalc::CalcState calc;
    ShellSettings shell;
    platform::FontSpec mainFont;
    platform::FontSpec gridFont;
    platform::FontSpec calculatorFont;
    std::int32_t left = -1;
    std::int32_t top = -1;
};

// Every value a key feeds, as text, by key name (no name is used in two sections).
std::map<std::string, std::string> fedValues(const Window& w) {
    const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    std::map<std::string, std::string> v = {
        {"ResultDecimalFormat", std::to_string(w.calc.resultDecimals())},
        {"TabulationStyle", flag(w.calc.tabulationStyle == TabulationStyle::UsingColumns)},
        {"StayOnTop", flag(w.shell.stayOnTop)},
        {"Left", std::to_string(w.left)},
        {"Top", std::to_string(w.top)},
        {"ExpandedHeight", std::to_string(w.shell.expandedHeight)},
        {"ExpandedWidth", std::to_string(w.shell.expandedWidth)},
        {"CollapsedWidth", std::to_string(w.shell.collapsedWidth)},
        {"Height", std::to_string(w.shell.calculatorHeight)},
        {"Width", std::to_string(w.shell.calculatorWidth)},
        {"Calculator Default Startup", flag(w.shell.calculatorDefaultStartup)},
        {"Proxy", w.shell.proxy},
        {"ProxyPort", w.shell.proxyPort},
        {"IgnoreFirstRowWhenEmpty", flag(w.calc.ignoreFirstRowWhenEmpty)}};
    const std::pair<std::string, const platform::FontSpec*> fonts[] = {
        {"MainText", &w.mainFont},
        {"GridText", &w.gridFont},
        {"CalculatorText", &w.calculatorFont}};
    for (const auto& [prefix, font] : fonts) {
        v[prefix + "Size"] = std::to_string(font->size);
        v[prefix + "Name"] = font->name;
        v[prefix + "Color"] = std::to_string(font->color);
        v[prefix + "Bold"] = flag(font->bold);
        v[prefix + "Italic"] = flag(font->italic);
    }
    return v;
}

class SettingsTest : public ::testing::Test {
  protected:
    void load() { loadSettings("corvalo.ini", window_.targets(), fake_); }
    void save() { saveSettings("corvalo.ini", window_.targets(), fake_); }
    std::string& text() { return fake_.files["corvalo.ini"]; }

    FakeStorage fake_;
    Window window_;
};

TEST_F(SettingsTest, NoFileGivesEveryDefaultAndTheFirstSaveWritesThemAll) {
    load();
    // The keys that are never written; the first save shows every other value.
    EXPECT_TRUE(window_.calc.ignoreFirstRowWhenEmpty);
    EXPECT_FALSE(window_.shell.calculatorDefaultStartup);
    EXPECT_EQ(window_.shell.proxy, "");
    EXPECT_EQ(window_.shell.proxyPort, "");
    save();
    EXPECT_EQ(text(), kFirstSave);
}

// One key in the file: the value it feeds, and what the save then holds for it.
struct KeyRow {
    const char* section;
    const char* key;
    const char* value;
    const char* fed;
    const char* saved;
};

class SettingsKeyTest : public SettingsTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(SettingsKeyTest, FeedsItsValueAndIsSavedBack) {
    const KeyRow& row = GetParam();
    text() = "[" + std::string(row.section) + "]\n" + row.key + "=" + row.value + "\n";
    load();
    EXPECT_EQ(fedValues(window_)[row.key], row.fed);
    save();
    EXPECT_EQ(platform::IniText(text()).get(row.section, row.key, "<missing>"), row.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsKeyTest,
    ::testing::Values(
        KeyRow{"Show", "ResultDecimalFormat", "12", "12", "12"},  // no upper bound
        KeyRow{"Show", "TabulationStyle", "5", "1", "1"},         // not 0: columns
        KeyRow{"Show", "StayOnTop", "7", "1", "1"},               // not 0: on
        KeyRow{"Fonts", "MainTextSize", "18", "18", "18"},
        KeyRow{"Fonts", "MainTextName", "DejaVu Sans", "DejaVu Sans", "DejaVu Sans"},
        KeyRow{"Fonts", "MainTextColor", "$8000000F", "-2147483633",
               "-2147483633"},  // system colour
        KeyRow{"Fonts", "MainTextBold", "1", "1", "1"},
        KeyRow{"Fonts", "MainTextItalic", "2", "0", "0"},  // only 1 is on
        KeyRow{"Fonts", "GridTextSize", "8", "8", "8"},
        KeyRow{"Fonts", "GridTextName", "Liberation Mono", "Liberation Mono", "Liberation Mono"},
        KeyRow{"Fonts", "GridTextColor", "255", "255", "255"},
        KeyRow{"Fonts", "GridTextBold", "2", "0", "0"},
        KeyRow{"Fonts", "GridTextItalic", "1", "1", "1"},
        KeyRow{"Fonts", "CalculatorTextSize", "14", "14", "14"},
        KeyRow{"Fonts", "CalculatorTextName", "Courier", "Courier", "Courier"},
        KeyRow{"Fonts", "CalculatorTextColor", "65280", "65280", "65280"},
        KeyRow{"Fonts", "CalculatorTextBold", "0", "1", "1"},  // always bold
        KeyRow{"Fonts", "CalculatorTextItalic", "1", "1", "1"},
        KeyRow{"Form", "Left", "-30000", "-30000", "-30000"},  // taken as it is
        KeyRow{"Form", "Top", "77", "77", "77"},
        KeyRow{"Form", "ExpandedHeight", "601", "601", "601"},
        KeyRow{"Form", "ExpandedWidth", "602", "602", "602"},
        KeyRow{"Form", "CollapsedWidth", "603", "603", "603"},
        KeyRow{"Calculator", "Height", "401", "401", "401"},
        KeyRow{"Calculator", "Width", "402", "402", "402"},
        KeyRow{"Form", "Calculator Default Startup", "2", "0", "2"},  // never written
        KeyRow{"Internet", "Proxy", "cache.lan", "cache.lan", "cache.lan"},
        KeyRow{"Internet", "ProxyPort", "8080", "8080", "8080"},
        KeyRow{"Show", "IgnoreFirstRowWhenEmpty", "2", "0", "2"}),
    [](const auto& row) {
        std::string name = row.param.key;
        std::erase(name, ' ');
        return row.param.section + std::string("_") + name;
    });

TEST_F(SettingsTest, LoadingAddsStylesButNeverTakesThemAway) {
    window_.mainFont.bold = true;
    window_.gridFont.italic = true;
    text() = "[Fonts]\nMainTextBold=0\nGridTextItalic=0\n";
    load();
    EXPECT_TRUE(window_.mainFont.bold);
    EXPECT_TRUE(window_.gridFont.italic);
}

// Every value differs from the stale window's, so one that is not read back shows.
TEST(SettingsRoundTrip, WritesTheSameBytes) {
    TempDir dir;
    Window window;
    window.calc.setResultDecimals(9);
    window.calc.tabulationStyle = TabulationStyle::UsingRows;
    window.shell = {false, 600, 700, 310, 380, 420, false, "", ""};
    window.mainFont = {"DejaVu Sans", 18, 0x00336699, true, true};
    window.gridFont = {"DejaVu Sans Mono", 9, INT32_MIN + 8, false, true};
    window.calculatorFont = {"Liberation Mono", 12, -2147483643, true, false};
    window.left = -8;
    window.top = 0;
    saveSettings((dir / "first.ini").string(), window.targets());

    Window fresh;
    loadSettings((dir / "first.ini").string(), fresh.targets());
    saveSettings((dir / "second.ini").string(), fresh.targets());
    EXPECT_EQ(readFile(dir / "second.ini"), readFile(dir / "first.ini"));
}

// Regression: every key used to be its own replacement of the file, 25 in one close.
TEST(SettingsSave, WritesTheFileOnce) {
    FakeStorage fake;
    fake.files["f"] = "; mine\n[Internet]\nProxy=cache.lan\n";
    Window window;
    saveSettings("f", window.targets(), fake);
    EXPECT_EQ(fake.replacements, 1);
    EXPECT_EQ(fake.files["f"].rfind("; mine\n[Internet]\nProxy=cache.lan\n\n[Show]\n", 0), 0U);
}

TEST(SettingsFileName, JoinsFolderAndName) {
    const struct {
        const char* name;
        const char* directory;
        const char* expected;
    } rows[] = {{"Folder", "/home/ann", "/home/ann/corvalo.ini"},
                {"FolderWithSlash", "/home/ann/", "/home/ann/corvalo.ini"},
                {"NoFolder", "", "corvalo.ini"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(settingsFileName(row.directory), row.expected);
    }
}

// Started from another folder, the program looks for its file there.
TEST(SettingsCurrentDirectory, FollowsTheCurrentFolderOnEachCall) {
    TempDir programFolder;
    TempDir elsewhere;
    const fs::path before = fs::current_path();
    fs::current_path(programFolder.path());
    const std::string first = settingsFileName();
    fs::current_path(elsewhere.path());
    const std::string second = settingsFileName();
    fs::current_path(before);
    EXPECT_EQ(first, (fs::canonical(programFolder.path()) / "corvalo.ini").string());
    EXPECT_EQ(second, (fs::canonical(elsewhere.path()) / "corvalo.ini").string());
}

}  // namespace
}  // namespace corvalo::shell
