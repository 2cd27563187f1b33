#include <gtest/gtest.h>

#include <string>

#include "platform/ini_text.h"
#include "shell/settings.h"
#include "support/fake_ini_storage.h"

namespace corvalo::shell {
namespace {

using corvalo::testing::FakeIniStorage;

enum class Option { ShowTape, WatchClipboard, WatchSelection, StatementSigns, StatisticsLine };

bool& flagOf(clipcalc::CalcState& c, ShellSettings& s, Option o) {
    switch (o) {
        case Option::ShowTape:
            return s.showTape;
        case Option::WatchClipboard:
            return s.watchClipboard;
        case Option::WatchSelection:
            return s.watchSelection;
        case Option::StatementSigns:
            return c.statementSigns;
        case Option::StatisticsLine:
            return s.statisticsLine;
    }
    return s.showTape;
}

// The [Show] line in the file, the flag it loads as, what the user then sets
// (nothing: leaves it), and the key after the close ("<missing>": not written).
struct OptionRow {
    const char* name;
    Option option;
    const char* key;
    const char* fileLine;
    bool loaded;
    int setTo;  // -1: untouched
    const char* saved;
};

class ShowOptionTest : public ::testing::TestWithParam<OptionRow> {};

TEST_P(ShowOptionTest, LoadsAndIsWrittenOnlyOnceUsed) {
    const OptionRow& row = GetParam();
    FakeIniStorage storage;
    storage.files["corvalo.ini"] = std::string("[Show]\nStayOnTop=0\n") + row.fileLine;
    clipcalc::CalcState calc;
    ShellSettings shell;
    flagOf(calc, shell, row.option) = !row.loaded;  // a stale value that loading must replace
    platform::FontSpec mainFont, gridFont, calculatorFont;
    std::int32_t left = 0, top = 0;
    const SettingsTargets targets{calc, shell, mainFont, gridFont, calculatorFont, left, top};

    loadSettings("corvalo.ini", targets, storage);
    EXPECT_EQ(flagOf(calc, shell, row.option), row.loaded);
    if (row.setTo >= 0) flagOf(calc, shell, row.option) = row.setTo == 1;
    saveSettings("corvalo.ini", targets, storage);
    EXPECT_EQ(platform::IniText(storage.files["corvalo.ini"]).get("Show", row.key, "<missing>"),
              row.saved);
}

// Every way a flag is kept once for the tape; each other option by its own key.
constexpr OptionRow kRows[] = {
    {"TapeAbsentStaysAbsent", Option::ShowTape, "ShowTape", "", false, -1, "<missing>"},
    {"TapeTurnedOnIsWritten", Option::ShowTape, "ShowTape", "", false, 1, "1"},
    {"TapeOnStaysOn", Option::ShowTape, "ShowTape", "ShowTape=1\n", true, -1, "1"},
    {"TapeTurnedOffIsWrittenOff", Option::ShowTape, "ShowTape", "ShowTape=1\n", true, 0, "0"},
    {"TapeTwoIsOffAndKept", Option::ShowTape, "ShowTape", "ShowTape=2\n", false, -1, "0"},
    {"TapeNotANumberIsOff", Option::ShowTape, "ShowTape", "ShowTape=yes\n", false, -1, "0"},
    {"ClipboardOnStaysOn", Option::WatchClipboard, "WatchClipboard", "watchclipboard=1\n", true,
     -1, "1"},
    {"SelectionOnStaysOn", Option::WatchSelection, "WatchSelection", "WatchSelection=1\n", true,
     -1, "1"},
    {"SignsOnStayOn", Option::StatementSigns, "StatementSigns", "StatementSigns=1\n", true, -1,
     "1"},
    {"StatisticsOnStaysOn", Option::StatisticsLine, "StatisticsLine", "statisticsline=1\n", true,
     -1, "1"},
};

INSTANTIATE_TEST_SUITE_P(Table, ShowOptionTest, ::testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.name); });

// Each option has its own key: turning one on writes none of the others.
TEST(ShowOptions, OneOptionOnWritesOnlyItsKey) {
    FakeIniStorage storage;
    clipcalc::CalcState calc;
    ShellSettings shell;
    platform::FontSpec mainFont, gridFont, calculatorFont;
    std::int32_t left = 0, top = 0;
    shell.watchSelection = true;
    saveSettings("corvalo.ini", {calc, shell, mainFont, gridFont, calculatorFont, left, top},
                 storage);
    const platform::IniText saved(storage.files["corvalo.ini"]);
    EXPECT_EQ(saved.get("Show", "WatchSelection", "<missing>"), "1");
    EXPECT_FALSE(saved.find("Show", "ShowTape"));
    EXPECT_FALSE(saved.find("Show", "WatchClipboard"));
    EXPECT_FALSE(saved.find("Show", "StatementSigns"));
    EXPECT_FALSE(saved.find("Show", "StatisticsLine"));
}

}  // namespace
}  // namespace corvalo::shell
