#include "shell/settings.h"

#include <gtest/gtest.h>

#include "support/fake_ini_storage.h"
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/ini_file.h"
#include "support/temp_dir.h"

namespace corvalo::shell {
namespace {

using clipcalc::TabulationStyle;
using corvalo::testing::readFile;
using corvalo::testing::TempDir;
using corvalo::testing::writeFile;
using platform::getProfileString;
using platform::ProfileStorage;
namespace fs = std::filesystem;
using namespace std::string_literals;

// What a first save writes when every value is at its default.
const std::string kShowDefaults =
    "[Show]\nResultDecimalFormat=2\nTabulationStyle=0\nStayOnTop=0\n";
const std::string kFontsDefaults =
    "[Fonts]\n"
    "MainTextSize=10\nMainTextName=MS Sans Serif\nMainTextColor=0\n"
    "MainTextBold=0\nMainTextItalic=0\n"
    "GridTextSize=10\nGridTextName=Courier New\nGridTextColor=0\n"
    "GridTextBold=0\nGridTextItalic=0\n"
    "CalculatorTextSize=10\nCalculatorTextName=Courier New\nCalculatorTextColor=0\n"
    "CalculatorTextBold=1\nCalculatorTextItalic=0\n";
const std::string kFormDefaults =
    "Left=520\nTop=240\nExpandedHeight=456\nExpandedWidth=494\nCollapsedWidth=494\n";
const std::string kCalculatorDefaults = "[Calculator]\nHeight=400\nWidth=440\n";

// The window's objects, filled with values no key gives, so a key that is not
// applied shows.
struct Window {
    Window() {
        calc.setResultDecimals(7);
        calc.tabulationStyle = TabulationStyle::UsingColumns;
        calc.ignoreFirstRowWhenEmpty = false;
        shell = {true, 1, 2, 3, 4, 5, true, "stale", "stale"};
        mainFont = {"stale", 1, 99, false, false};
        gridFont = mainFont;
        calculatorFont = mainFont;  // not bold: loading must make it so
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

class SettingsTest : public ::testing::Test {
protected:
    std::string file() const { return (dir_ / "corvalo.ini").string(); }
    void load() { loadSettings(file(), window_.targets()); }
    void save() { saveSettings(file(), window_.targets()); }
    std::string saved(const char* section, const char* key) const {
        return getProfileString(file(), section, key, "<missing>");
    }

    TempDir dir_;
    Window window_;
};

TEST_F(SettingsTest, NoFileGivesEveryDefaultAndTheFirstSaveWritesThemAll) {
    load();
    EXPECT_EQ(window_.calc.resultDecimals(), 2);
    EXPECT_EQ(window_.calc.tabulationStyle, TabulationStyle::UsingRows);
    EXPECT_TRUE(window_.calc.ignoreFirstRowWhenEmpty);
    EXPECT_FALSE(window_.shell.stayOnTop);
    EXPECT_EQ(window_.left, 520);
    EXPECT_EQ(window_.top, 240);
    EXPECT_EQ(window_.shell.expandedHeight, 456);
    EXPECT_EQ(window_.shell.expandedWidth, 494);
    EXPECT_EQ(window_.shell.collapsedWidth, 494);
    EXPECT_EQ(window_.shell.calculatorHeight, 400);
    EXPECT_EQ(window_.shell.calculatorWidth, 440);
    EXPECT_FALSE(window_.shell.calculatorDefaultStartup);
    EXPECT_EQ(window_.shell.proxy, "");
    EXPECT_EQ(window_.shell.proxyPort, "");
    const std::vector<std::pair<const char*, const platform::FontSpec*>> fonts = {
        {"MainFont", &window_.mainFont},
        {"GridFont", &window_.gridFont},
        {"CalculatorFont", &window_.calculatorFont}};
    for (const auto& [name, font] : fonts) {
        SCOPED_TRACE(name);
        EXPECT_EQ(font->size, 10);
        EXPECT_EQ(font->color, 0);
        EXPECT_FALSE(font->italic);
    }
    EXPECT_EQ(window_.mainFont.name, "MS Sans Serif");
    EXPECT_EQ(window_.gridFont.name, "Courier New");
    EXPECT_EQ(window_.calculatorFont.name, "Courier New");
    EXPECT_TRUE(window_.calculatorFont.bold);

    save();
    EXPECT_EQ(readFile(file()), kShowDefaults + "\n" + kFontsDefaults + "\n[Form]\n" +
                                    kFormDefaults + "\n" + kCalculatorDefaults);
}

// One key in the file: what it loads, and what the save then holds for it.
struct KeyRow {
    const char* name;
    const char* ini;
    std::function<void(const Window&)> loaded;
    const char* section;
    const char* key;
    const char* saved;
};

class SettingsKeyTest : public SettingsTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(SettingsKeyTest, LoadsAndSaves) {
    writeFile(file(), GetParam().ini);
    load();
    GetParam().loaded(window_);
    save();
    EXPECT_EQ(saved(GetParam().section, GetParam().key), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsKeyTest,
    ::testing::Values(
        KeyRow{"MainTextBold2IsOff", "[Fonts]\nMainTextBold=2\n",
               [](const Window& w) { EXPECT_FALSE(w.mainFont.bold); }, "Fonts", "MainTextBold",
               "0"},
        KeyRow{"MainTextBold1IsOn", "[Fonts]\nMainTextBold=1\n",
               [](const Window& w) { EXPECT_TRUE(w.mainFont.bold); }, "Fonts", "MainTextBold",
               "1"},
        KeyRow{"GridTextItalic1IsOn", "[Fonts]\nGridTextItalic=1\n",
               [](const Window& w) { EXPECT_TRUE(w.gridFont.italic); }, "Fonts",
               "GridTextItalic", "1"},
        KeyRow{"CalculatorFontStaysBold", "[Fonts]\nCalculatorTextBold=0\n",
               [](const Window& w) { EXPECT_TRUE(w.calculatorFont.bold); }, "Fonts",
               "CalculatorTextBold", "1"},
        KeyRow{"TabulationStyle5IsColumns", "[Show]\nTabulationStyle=5\n",
               [](const Window& w) {
                   EXPECT_EQ(w.calc.tabulationStyle, TabulationStyle::UsingColumns);
               },
               "Show", "TabulationStyle", "1"},
        KeyRow{"ResultDecimalFormatMinus3IsZero", "[Show]\nResultDecimalFormat=-3\n",
               [](const Window& w) { EXPECT_EQ(w.calc.resultDecimals(), 0); }, "Show",
               "ResultDecimalFormat", "0"},
        KeyRow{"ResultDecimalFormat12Stays", "[Show]\nResultDecimalFormat=12\n",
               [](const Window& w) { EXPECT_EQ(w.calc.resultDecimals(), 12); }, "Show",
               "ResultDecimalFormat", "12"},
        KeyRow{"ResultDecimalFormatEmptyIsDefault", "[Show]\nResultDecimalFormat=\n",
               [](const Window& w) { EXPECT_EQ(w.calc.resultDecimals(), 2); }, "Show",
               "ResultDecimalFormat", "2"},
        KeyRow{"StayOnTopYesIsOff", "[Show]\nStayOnTop=yes\n",
               [](const Window& w) { EXPECT_FALSE(w.shell.stayOnTop); }, "Show", "StayOnTop",
               "0"},
        KeyRow{"StayOnTopHexOneIsOn", "[Show]\nStayOnTop=0x1\n",
               [](const Window& w) { EXPECT_TRUE(w.shell.stayOnTop); }, "Show", "StayOnTop",
               "1"},
        KeyRow{"IgnoreFirstRow2IsOffAndKept", "[Show]\nIgnoreFirstRowWhenEmpty=2\n",
               [](const Window& w) { EXPECT_FALSE(w.calc.ignoreFirstRowWhenEmpty); }, "Show",
               "IgnoreFirstRowWhenEmpty", "2"},
        KeyRow{"IgnoreFirstRowAbsentStaysAbsent", "",
               [](const Window& w) { EXPECT_TRUE(w.calc.ignoreFirstRowWhenEmpty); }, "Show",
               "IgnoreFirstRowWhenEmpty", "<missing>"},
        KeyRow{"SystemColourIsNegative", "[Fonts]\nMainTextColor=$8000000F\n",
               [](const Window& w) { EXPECT_EQ(w.mainFont.color, INT32_MIN + 15); }, "Fonts",
               "MainTextColor", "-2147483633"},
        KeyRow{"RgbColour", "[Fonts]\nGridTextColor=0x0000FF\n",
               [](const Window& w) { EXPECT_EQ(w.gridFont.color, 255); }, "Fonts",
               "GridTextColor", "255"},
        KeyRow{"FontNameWithBlanks", "[Fonts]\nGridTextName = Liberation Mono \n",
               [](const Window& w) { EXPECT_EQ(w.gridFont.name, "Liberation Mono"); },
               "Fonts", "GridTextName", "Liberation Mono"},
        KeyRow{"PositionTakenAsItIs", "[Form]\nLeft=-30000\n",
               [](const Window& w) { EXPECT_EQ(w.left, -30000); }, "Form", "Left", "-30000"},
        KeyRow{"ProxyReadNeverWritten", "[Internet]\nProxy=cache.lan\nProxyPort=8080\n",
               [](const Window& w) {
                   EXPECT_EQ(w.shell.proxy, "cache.lan");
                   EXPECT_EQ(w.shell.proxyPort, "8080");
               },
               "Internet", "ProxyPort", "8080"},
        KeyRow{"StartPageReadNeverWritten", "[Form]\nCalculator Default Startup=1\n",
               [](const Window& w) { EXPECT_TRUE(w.shell.calculatorDefaultStartup); }, "Form",
               "Calculator Default Startup", "1"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(SettingsTest, LoadingAddsStylesButNeverTakesThemAway) {
    window_.mainFont.bold = true;
    window_.gridFont.italic = true;
    writeFile(file(), "[Fonts]\nMainTextBold=0\nGridTextItalic=0\nGridTextBold=1\n");
    load();
    EXPECT_TRUE(window_.mainFont.bold);
    EXPECT_TRUE(window_.gridFont.italic);
    EXPECT_TRUE(window_.gridFont.bold);
    EXPECT_FALSE(window_.mainFont.italic);
}

TEST_F(SettingsTest, AFileWithOnlyTheStartPageKeepsItAndGainsTheRest) {
    writeFile(file(), "[Form]\nCalculator Default Startup=1\n");
    load();
    EXPECT_TRUE(window_.shell.calculatorDefaultStartup);
    EXPECT_EQ(window_.left, 520);
    save();
    EXPECT_EQ(readFile(file()), "[Form]\nCalculator Default Startup=1\n" + kFormDefaults +
                                    "\n" + kShowDefaults + "\n" + kFontsDefaults + "\n" +
                                    kCalculatorDefaults);
}

TEST_F(SettingsTest, RoundTripWritesTheSameBytes) {
    window_.calc.setResultDecimals(9);
    window_.shell = {true, 600, 700, 310, 380, 420, false, "", ""};
    window_.mainFont = {"DejaVu Sans", 18, 0x00336699, true, true};
    window_.gridFont = {"DejaVu Sans Mono", 9, INT32_MIN + 8, false, true};
    window_.calculatorFont = {"Liberation Mono", 12, -2147483643, true, false};
    window_.left = -8;
    window_.top = 0;
    save();
    const std::string first = readFile(file());

    Window fresh;
    loadSettings(file(), fresh.targets());
    EXPECT_EQ(fresh.calc.resultDecimals(), 9);
    EXPECT_EQ(fresh.calc.tabulationStyle, TabulationStyle::UsingColumns);
    EXPECT_EQ(fresh.shell.expandedHeight, 600);
    EXPECT_EQ(fresh.shell.calculatorWidth, 420);
    EXPECT_EQ(fresh.mainFont.name, "DejaVu Sans");
    EXPECT_EQ(fresh.mainFont.color, 0x00336699);
    EXPECT_EQ(fresh.gridFont.color, INT32_MIN + 8);
    EXPECT_EQ(fresh.left, -8);

    const std::string other = (dir_ / "other.ini").string();
    saveSettings(other, fresh.targets());
    EXPECT_EQ(readFile(other), first);
    saveSettings(file(), fresh.targets());
    EXPECT_EQ(readFile(file()), first);
}

TEST_F(SettingsTest, AHandWrittenFileKeepsCommentsForeignKeysAndLineEnds) {
    const std::string hand =
        "; my settings\r\n"
        "[SHOW]\r\n"
        "resultdecimalformat = 4\r\n"
        "Colour=blue\r\n"
        "\r\n"
        "[Plugins]\r\n"
        "x=1\r\n"
        "[form]\r\n"
        "LEFT=10\r\n"
        "calculator default startup=1\r\n";
    writeFile(file(), hand);
    load();
    EXPECT_EQ(window_.calc.resultDecimals(), 4);
    EXPECT_EQ(window_.left, 10);
    EXPECT_TRUE(window_.shell.calculatorDefaultStartup);
    window_.calc.setResultDecimals(3);
    save();
    const std::string out = readFile(file());
    const std::string head =
        "; my settings\r\n"
        "[SHOW]\r\n"
        "resultdecimalformat = 3\r\n"
        "Colour=blue\r\n"
        "TabulationStyle=0\r\n";
    EXPECT_EQ(out.substr(0, head.size()), head);
    EXPECT_NE(out.find("StayOnTop=0\r\n\r\n[Plugins]\r\nx=1\r\n[form]\r\nLEFT=10\r\n"
                       "calculator default startup=1\r\nTop=240\r\n"),
              std::string::npos);
    for (std::size_t i = out.find('\n'); i != std::string::npos; i = out.find('\n', i + 1)) {
        ASSERT_EQ(out[i - 1], '\r') << "a bare LF at " << i;
    }
}

using FakeStorage = corvalo::testing::FakeProfileStorage;

TEST(SettingsRefusedWrite, StopsAtTheKeyAndKeepsTheOnesBefore) {
    FakeStorage fake;
    fake.failAt = 4;  // a full disk at the fifth key, MainTextName
    Window window;
    const std::string file = "/home/ann/work/corvalo.ini";
    try {
        saveSettings(file, window.targets(), fake);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Unable to write to /home/ann/work/corvalo.ini");
    }
    EXPECT_EQ(fake.files[file],
              "[Show]\nResultDecimalFormat=7\nTabulationStyle=1\nStayOnTop=1\n\n"
              "[Fonts]\nMainTextSize=1\n");
}

TEST_F(SettingsTest, APathThatIsAFolderFailsWithTheFullPath) {
    fs::create_directory(file());
    load();  // never fails: defaults
    EXPECT_EQ(window_.left, 520);
    try {
        save();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + file());
    }
    EXPECT_TRUE(fs::is_directory(file()));
}

TEST_F(SettingsTest, AReadOnlyFolderFailsWithTheFullPath) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes through permissions";
    fs::permissions(dir_.path(), fs::perms::owner_read | fs::perms::owner_exec);
    try {
        save();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + file());
    }
    fs::permissions(dir_.path(), fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(file()));
}

TEST_F(SettingsTest, FilesThatAreNotTextLoadDefaultsAndSurviveASave) {
    std::string garbage;
    for (int i = 0; i < 100000; ++i) garbage += static_cast<char>((i * 7919 + 13) % 256);
    struct Row {
        const char* name;
        std::string text;
        std::int32_t decimals;
    };
    const std::vector<Row> rows = {
        {"Binary", garbage, 2},
        {"BinaryThenKey", garbage + "\n[Show]\nResultDecimalFormat=6\n", 6},
        {"TenMegabyteLine", std::string(10'000'000, 'x') + "\n[Show]\nResultDecimalFormat=6\n",
         6},
        {"TenMegabyteValue", "[Show]\nResultDecimalFormat=" + std::string(10'000'000, '9'), 2},
        {"Nuls", "[Show]\nResultDecimalFormat=\0\0\0"s + std::string(5000, '\0'), 2},
        {"NulInsideNumber", "[Show]\nResultDecimalFormat=1\0002\n"s, 2},
        {"HeaderWithoutBracket", "[Show\nResultDecimalFormat=6\n", 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        writeFile(file(), row.text);
        Window window;
        loadSettings(file(), window.targets());
        EXPECT_EQ(window.calc.resultDecimals(), row.decimals);
        EXPECT_EQ(window.left, 520);
        EXPECT_EQ(window.mainFont.name, "MS Sans Serif");
        saveSettings(file(), window.targets());
        Window again;
        loadSettings(file(), again.targets());
        EXPECT_EQ(again.calc.resultDecimals(), window.calc.resultDecimals());
        EXPECT_EQ(again.gridFont.name, "Courier New");
        EXPECT_EQ(again.shell.calculatorWidth, 440);
    }
}

struct NameRow {
    const char* name;
    const char* directory;
    const char* expected;
};

class SettingsFileNameTest : public ::testing::TestWithParam<NameRow> {};

TEST_P(SettingsFileNameTest, JoinsFolderAndName) {
    EXPECT_EQ(settingsFileName(GetParam().directory), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsFileNameTest,
    ::testing::Values(NameRow{"Folder", "/home/ann", "/home/ann/corvalo.ini"},
                      NameRow{"FolderWithSlash", "/home/ann/", "/home/ann/corvalo.ini"},
                      NameRow{"Root", "/", "/corvalo.ini"},
                      NameRow{"WithBlank", "/tmp/my data", "/tmp/my data/corvalo.ini"},
                      NameRow{"NoFolder", "", "corvalo.ini"}),
    [](const auto& row) { return std::string(row.param.name); });

// Started from another folder: defaults there, even with a file in the first one, and
// the close writes into the new folder.
TEST(SettingsCurrentDirectory, FollowsTheCurrentFolderOnEachCall) {
    TempDir programFolder;
    TempDir elsewhere;
    const fs::path before = fs::current_path();
    writeFile(programFolder / "corvalo.ini", "[Show]\nResultDecimalFormat=5\n");

    fs::current_path(programFolder.path());
    Window first;
    loadSettings(settingsFileName(), first.targets());
    EXPECT_EQ(first.calc.resultDecimals(), 5);

    fs::current_path(elsewhere.path());
    const std::string name = settingsFileName();
    Window second;
    loadSettings(name, second.targets());
    saveSettings(name, second.targets());
    fs::current_path(before);

    EXPECT_EQ(name, (fs::canonical(elsewhere.path()) / "corvalo.ini").string());
    EXPECT_EQ(second.calc.resultDecimals(), 2);
    EXPECT_TRUE(fs::exists(elsewhere / "corvalo.ini"));
    EXPECT_EQ(readFile(programFolder / "corvalo.ini"), "[Show]\nResultDecimalFormat=5\n");
}

}  // namespace
}  // namespace corvalo::shell
