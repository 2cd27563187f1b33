#include "deskcalc/entry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "deskcalc/layout.h"

namespace corvalo::deskcalc {
namespace {

// Records what the entry logic asks of its window.
struct FakeHost final : CalculatorHost {
    void displayTextChanged(const std::string& text) override { display = text; }
    void repaintButton(Key button) override {
        repaints.push_back(button);
        if (calc != nullptr) pressedAtRepaint.push_back(calc->pressedButton());
    }
    void layoutChanged() override { ++layouts; }
    bool pressHeldByMouse() override { return false; }
    void beep() override { ++beeps; }
    std::optional<std::string> clipboardText() override { return clipboard; }
    void setClipboardText(const std::string& ansi) override { clipboard = ansi; }

    const DeskCalculator* calc = nullptr;
    std::string display;
    std::vector<Key> repaints;
    std::vector<Key> pressedAtRepaint;
    int layouts = 0;
    int beeps = 0;
    std::optional<std::string> clipboard;
};

// A calculator as the window creates it: cleared, with a tape `tapeWidth` characters wide.
struct Rig {
    explicit Rig(char decimal = '.', int tapeWidth = 12) : calc(host, decimal) {
        host.calc = &calc;
        calc.tape().setLineWidth(tapeWidth);
        calc.clearAll();
    }
    FakeHost host;
    DeskCalculator calc;
};

// Presses the buttons named by their captions, blank-separated: "12 + 3 =", "9 Sqrt", "MR".
// A token that is no caption presses each of its characters: "1.5" is 1, separator, 5.
void Press(DeskCalculator& calc, std::string_view keys) {
    const auto captioned = [&](std::string_view caption) {
        for (int i = 1; i <= kButtonCount; ++i) {
            if (buttonCaption(keyAt(i), calc.decimalSeparator()) == caption) return keyAt(i);
        }
        throw std::invalid_argument("no such key: " + std::string(caption));
    };
    std::istringstream tokens{std::string(keys)};
    for (std::string token; tokens >> token;) {
        try {
            calc.pressButton(captioned(token));
        } catch (const std::invalid_argument&) {
            for (const char c : token) calc.pressButton(captioned(std::string_view(&c, 1)));
        }
    }
}

constexpr CalculatorOptions kSeparatePercent =
    kDefaultOptions.with(CalculatorOption::ShowSeparatePercent);
constexpr CalculatorOptions kNoItemCount{CalculatorOption::ShowMemoryButtons};

struct KeyRow {
    const char* name;
    const char* keys;     // button captions, see Press
    const char* display;  // with its trailing blank
    const char* entry;    // the number being typed or the text of the last result
    int beeps = 0;
    const char* tape = nullptr;  // the newest lines of a tape 6 wide, joined by '|'
    std::int32_t decimals = 2;
    CalculatorOptions options = kDefaultOptions;
};

const KeyRow kKeyRows[] = {
    {"AddWritesCountTotalSeparator", "5 + 3 =", "8 ", "8", 0,
     "   5 +|   3 =|   002|   8 *|______"},
    {"ItemCountOff", "5 + 3 =", "8 ", "8", 0, "   5 +|   3 =|   8 *|______", 2, kNoItemCount},
    {"OperatorTwiceAddsEntryAgain", "2 + 3 + +", "8 ", "8", 0, "   2 +|   3 +|   3 +"},
    {"PercentThenEqualsWritesNoTotal", "200 + 10 % =", "220 ", "220", 0, " 200 +|  10 %| 220 ="},
    {"ClearWritesOneSeparator", "5 C C", "0 ", "0", 0, "______"},
    {"ClearTapeBlanksTheLines", "5 + 3 = CT", "8 ", "8", 0, "||||"},
    {"ResultInGeneralFormat", "1.5 + 2 = 2 + 3 =", "5 ", "5"},
    {"SecondEqualsClearsAll", "5 + 3 = =", "0 ", "0"},
    {"OperatorAfterResultReadsIt", "5 + 3 = * 2 =", "16 ", "16"},
    {"PercentCompletesMultiply", "50 * 10 %", "5 ", "5"},
    {"SeparatePercentOnlyReplacesEntry", "200 + 10 %", "20 ", "20", 0, {}, 2, kSeparatePercent},
    {"SquareRootAtOnce", "9 Sqrt", "3 ", "3"},
    {"ReciprocalOfPendingOperand", "5 + 4 1/x =", "5.25 ", "5.25"},
    {"ClearRecoversFromError", "1 / 0 = + C 2 + 3 =", "5 ", "5", 2},
    {"SecondSeparatorIgnored", "1.2.3", "1.23 ", "1.23"},
    {"ClearEntryKeepsPending", "5 + 9 CE 3 =", "8 ", "8"},
    {"ClearForgetsPending", "5 + C 3 =", "3 ", "3"},
    {"BackRemovesLastDigit", "123 Back", "12 ", "12"},
    {"BackOnZeroDoesNothing", "0 Back", "0.00 ", "0"},
    {"AddingMachineEntry", "5 7 3 1", "57.31 ", "57.31", 0, {}, -2},
    {"AddingMachineBackTwice", "5 7 3 1 Back Back", "0.57 ", "0.57", 0, {}, -2},
    {"MemoryAddSubtractRecall", "5 M+ 3 M- MR", "2 ", "2"},
    {"StoreKeepsDisplayedResultThroughClear", "2 + 3 = MS C MR", "5 ", "5"},
    // Faults mended: each of these locked the calculator or gave a wrong number.
    {"SeparatorAfterResultThenAdd", "5 + 3 = . 5 + 1 =", "1.5 ", "1.5"},
    {"BackOnLoneMinus", "CE +/- Back 4", "4 ", "4"},
    {"SignTwiceOnEmptyEntry", "CE +/- +/- 4", "4 ", "4"},
    {"BackToMinusKeepsSign", "7 +/- Back 3", "-3 ", "-3"},
    {"RecallSubtractsFromPending", "2 MS C 5 - MR =", "3 ", "3"},
    {"RecallThenSameOperator", "2 MS C 5 - MR - 1 =", "2 ", "2"},
    {"MemoryAddKeepsPendingSum", "5 + 3 M+ =", "8 ", "8"},
    {"MemoryAddWithPendingSumAddsEntry", "2 MS C 5 + 3 M+ = MR", "5 ", "5"},
    {"MemoryClearKeepsPendingSum", "5 + 3 MC =", "8 ", "8"},
    {"AddingMachineNegative", "CE +/- 1 2", "-0.12 ", "-0.12", 0, {}, -2},
    {"AddingMachineAfterTypedSeparator", ".5 C 1", "0.01 ", "0.01", 0, {}, -2},
    {"DigitAfterSqrtStartsNewEntry", "9 Sqrt 5", "5 ", "5"},
    {"DigitAfterReciprocalKeepsPendingAdd", "5 + 4 1/x 3 =", "8 ", "8"},
    {"DigitAfterErrorStartsNewEntry", "5 +/- Sqrt 3", "3 ", "3", 2},
    {"DigitAfterDivideByZeroKeepsPendingDivide", "8 / 0.0 = 5 =", "1.6 ", "1.6", 2},
    {"SeparatorAfterErrorStartsNewEntry", "5 +/- Sqrt . 5", "0.5 ", "0.5", 2},
    {"BackOnOneDigitThenSign", "6 Back +/-", "0.00 ", "-"},
    {"BackOnExponentResultClearsEntry", "1 / 30000 = Back", "0 ", ""},
    {"BackTwiceOnExponentResultDoesNotLock", "1 / 30000 = Back Back", "0 ", ""},
    {"StoreKeepsShownDecimals", "1.5 + 2.25 MS MR", "2.25 ", "2.25"},
    {"StoredValueAddsWithShownDecimals", "1.5 + 2.25 MS MR =", "3.75 ", "3.75"},
};

class KeySequence : public ::testing::TestWithParam<KeyRow> {};

TEST_P(KeySequence, ShowsDisplayEntryBeepsAndTape) {
    const KeyRow& row = GetParam();
    Rig rig('.', 6);
    rig.calc.setOptions(row.options);
    rig.calc.setDecimals(row.decimals);
    Press(rig.calc, row.keys);
    EXPECT_EQ(rig.host.display, row.display);
    EXPECT_EQ(rig.calc.entryText(), row.entry);
    EXPECT_EQ(rig.host.beeps, row.beeps);
    if (row.tape == nullptr) return;
    std::string joined;  // each line after a '|': the row's lines follow a blank line
    for (const std::string& line : rig.calc.tape().lines()) joined += "|" + line;
    EXPECT_THAT(joined, ::testing::EndsWith("||" + std::string(row.tape)));
}

INSTANTIATE_TEST_SUITE_P(Keys, KeySequence, ::testing::ValuesIn(kKeyRows),
                         [](const auto& row) { return std::string(row.param.name); });

// Regression: the item count "         002" was read as the number 0 (its last two
// characters taken for a blank and a mark), which replaced the entry and was pushed
// onto the pending calculation.
TEST(CalculatorTape, DoubleClickRecallsNumbersNotItemCountsSeparatorsOrBlankLines) {
    Rig rig;
    Press(rig.calc, "1.25 + 2.25 = 9");
    const auto& lines = rig.calc.tape().lines();
    const auto at = [&](const char* line) {  // where the line is now
        const auto it = std::find(lines.begin(), lines.end(), line);
        EXPECT_NE(it, lines.end()) << line;
        return static_cast<std::size_t>(it - lines.begin());
    };
    for (const char* line : {"         002", "____________"}) rig.calc.recallTapeLine(at(line));
    rig.calc.recallTapeLine(0);  // a blank line
    EXPECT_EQ(rig.calc.entryText(), "9");
    Press(rig.calc, "+ 1 =");
    EXPECT_EQ(rig.host.display, "10 ");
    rig.calc.recallTapeLine(at("      3.50 *"));
    Press(rig.calc, "+ 1 =");
    EXPECT_EQ(rig.host.display, "4.50 ");  // the recalled number keeps its two decimals
}

TEST(CalculatorWindow, KeyShowsButtonSunkenWhileHandledMemoryChangeLaysOutOnce) {
    Rig rig;
    std::vector<Key> seen;
    rig.calc.onButtonPressed = [&](Key b) { seen.push_back(b); };
    rig.calc.pressButton(Key::Digit7);
    EXPECT_EQ(rig.host.repaints, (std::vector<Key>{Key::Digit7, Key::Digit7}));
    EXPECT_EQ(rig.host.pressedAtRepaint, (std::vector<Key>{Key::Digit7, Key::None}));
    Press(rig.calc, "C =");  // = after C counts as C
    EXPECT_EQ(seen, (std::vector<Key>{Key::Digit7, Key::Clear, Key::Clear}));
    rig.calc.setMemory(5);
    rig.calc.setMemory(5);  // same value: nothing to redo
    EXPECT_EQ(rig.host.layouts, 1);
    rig.host.repaints.clear();
    Press(rig.calc, "MC");
    EXPECT_THAT(rig.host.repaints, ::testing::IsSupersetOf({Key::MemClear, Key::MemRecall}));
}

TEST(CalculatorText, AssignedTextAndPastedTextAreTyped) {
    Rig rig;
    rig.calc.setText("7");
    rig.calc.keyPress('\x16');  // no text on the clipboard: nothing typed
    EXPECT_EQ(rig.host.display, "7 ");
    rig.host.clipboard = "x1 2\r\n+a3=";
    rig.calc.keyPress('\x16');
    EXPECT_EQ(rig.host.display, "15 ");
}

TEST(CalculatorText, ErrorStateCopiesNothingAndBeeps) {
    Rig rig(',');
    Press(rig.calc, "1,5 + 2 =");
    rig.calc.keyPress('\x03');
    EXPECT_EQ(rig.host.clipboard, "3,5 ");  // the display; Edit > Copy takes the entry
    EXPECT_EQ(rig.calc.entryTextToCopy(), "3,5");
    Press(rig.calc, "1 / 0 =");
    rig.calc.keyPress('\x03');
    EXPECT_EQ(rig.host.clipboard, "3,5 ");
    EXPECT_EQ(rig.calc.entryTextToCopy(), std::nullopt);
    EXPECT_EQ(rig.host.beeps, 3);  // the error, then each refused copy
}

}  // namespace
}  // namespace corvalo::deskcalc
