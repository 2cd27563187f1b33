#include "deskcalc/entry.h"

#include <gtest/gtest.h>

#include <ostream>

#include "row_name.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "fake_host.h"

namespace corvalo::deskcalc {
namespace {

using testing::Press;
using testing::Rig;

struct KeyRow {
    const char* name;
    std::string keys;
    std::string display;  // with the display's trailing blank
    std::string entry;
    int beeps = 0;
    CalculatorOptions options = kDefaultOptions;
    std::int32_t decimals = 2;
};
void PrintTo(const KeyRow& row, std::ostream* os) {
    *os << row.name;
}

// 1e2500: its square overflows.
std::string huge() {
    return "1" + std::string(2500, '0');
}

const KeyRow kKeyRows[] = {
    {"AddThenEquals", "5 + 3 =", "8 ", "8"},
    {"LargerDecimalCountWins", "1.5 + 2 =", "3.5 ", "3.5"},
    {"ResultInGeneralFormat", "1.5 + 2 = 2 + 3 =", "5 ", "5"},
    {"NoPrecedence", "2 + 3 * 4 =", "20 ", "20"},
    {"SecondEqualsClearsAll", "5 + 3 = =", "0 ", "0"},
    {"FirstEqualsClearsAll", "=", "0 ", "0"},
    {"OperatorAfterResultReadsIt", "5 + 3 = * 2 =", "16 ", "16"},
    {"DigitAfterResultStartsAnew", "5 + 3 = 2 + 1 =", "3 ", "3"},
    {"PercentOfPendingAddend", "200 + 10 %", "220 ", "220"},
    {"EqualsAfterPercentChangesNothing", "200 + 10 % =", "220 ", "220"},
    {"PercentCompletesMultiply", "50 * 10 %", "5 ", "5"},
    {"SeparatePercentOnlyReplacesEntry", "200 + 10 %", "20 ", "20", 0,
     kDefaultOptions.with(CalculatorOption::ShowSeparatePercent)},
    {"SeparatePercentThenEquals", "200 + 10 % =", "220 ", "220", 0,
     kDefaultOptions.with(CalculatorOption::ShowSeparatePercent)},
    {"SeparatePercentOfProduct", "50 * 10 % =", "5 ", "5", 0,
     kDefaultOptions.with(CalculatorOption::ShowSeparatePercent)},
    {"SquareRootAtOnce", "9 Sqrt", "3 ", "3"},
    {"ReciprocalAtOnce", "4 1/x", "0.25 ", "0.25"},
    {"ReciprocalOfPendingOperand", "5 + 4 1/x =", "5.25 ", "5.25"},
    {"DivideByZero", "1 / 0 =", "******  ", "0", 1},
    {"ErrorRefusesOperator", "1 / 0 = +", "******  ", "0", 2},
    {"ClearRecoversFromError", "1 / 0 = + C", "0 ", "0", 2},
    {"WorksAfterRecovery", "1 / 0 = + C 2 + 3 =", "5 ", "5", 2},
    {"ReciprocalOfZero", "0 1/x", "******  ", "0", 1},
    {"RootOfNegative", "4 +/- Sqrt", "******  ", "-4", 1},
    {"Overflow", huge() + " * " + huge() + " =", "******  ", huge(), 1},
    {"SignBeforeNumber", "CE +/- 7", "-7 ", "-7"},
    {"SignAfterNumber", "7 +/-", "-7.00 ", "-7"},
    {"RepeatedZero", "0 0 0", "0.00 ", "0"},
    {"LeadingSeparator", ".", "0. ", "0."},
    {"LeadingSeparatorThenDigit", ". 5", "0.5 ", "0.5"},
    {"SecondSeparatorIgnored", "1.2.3", "1.23 ", "1.23"},
    {"BackRemovesLastDigit", "123 Back", "12 ", "12"},
    {"BackOnOneDigit", "5 Back", "0.00 ", ""},
    {"BackOnZeroDoesNothing", "0 Back", "0.00 ", "0"},
    {"ClearEntryKeepsPending", "5 + 9 CE 3 =", "8 ", "8"},
    {"AddingMachineOneDigit", "1", "0.01 ", "0.01", 0, kDefaultOptions, -2},
    {"AddingMachineTwoDigits", "1 2", "0.12 ", "0.12", 0, kDefaultOptions, -2},
    {"AddingMachineThreeDigits", "1 2 3", "1.23 ", "1.23", 0, kDefaultOptions, -2},
    {"AddingMachineFourDigits", "5 7 3 1", "57.31 ", "57.31", 0, kDefaultOptions, -2},
    {"AddingMachineBack", "1 2 3 Back", "0.12 ", "0.12", 0, kDefaultOptions, -2},
    {"AddingMachineBackTwice", "5 7 3 1 Back Back", "0.57 ", "0.57", 0, kDefaultOptions, -2},
    {"AddingMachineTypedSeparator", ".5", "0.5 ", "0.5", 0, kDefaultOptions, -2},
    {"MemoryStoreRecall", "5 MS C MR", "5 ", "5"},
    {"MemoryAdd", "5 M+ 3 M+ MR", "8 ", "8"},
    {"MemorySubtract", "5 M+ 3 M- MR", "2 ", "2"},
    {"MemoryClear", "5 M+ MC MR", "0 ", "0"},
    {"StoreKeepsDisplayedResult", "2 + 3 = MS C MR", "5 ", "5"},
    {"RecallThenRoot", "9 MS C MR Sqrt", "3 ", "3"},
    {"RecallThenOperator", "2 MS C MR + 1 =", "3 ", "3"},
};

class KeySequence : public ::testing::TestWithParam<KeyRow> {};

TEST_P(KeySequence, ShowsDisplayAndEntry) {
    const KeyRow& row = GetParam();
    Rig rig;
    rig.calc.setOptions(row.options);
    rig.calc.setDecimals(row.decimals);
    Press(rig.calc, row.keys);
    EXPECT_EQ(rig.host.display, row.display);
    EXPECT_EQ(rig.calc.displayText(), row.display);
    EXPECT_EQ(rig.calc.entryText(), row.entry);
    EXPECT_EQ(rig.host.beeps, row.beeps);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeySequence, ::testing::ValuesIn(kKeyRows), testing::RowName());

// Mended behaviours: each of these locked the calculator or gave a wrong number.
const KeyRow kMendedRows[] = {
    {"SeparatorAfterResultStartsAnew", "5 + 3 = . 5", "0.5 ", "0.5"},
    {"SeparatorAfterResultThenAdd", "5 + 3 = . 5 + 1 =", "1.5 ", "1.5"},
    {"BackOnLoneMinus", "CE +/- Back 4", "4 ", "4"},
    {"SignTwiceOnEmptyEntry", "CE +/- +/- 4", "4 ", "4"},
    {"BackToMinusKeepsSign", "7 +/- Back 3", "-3 ", "-3"},
    {"RecallSubtractsFromPending", "2 MS C 5 - MR =", "3 ", "3"},
    {"RecallThenSameOperator", "2 MS C 5 - MR - 1 =", "2 ", "2"},
    {"MemoryAddKeepsPendingSum", "5 + 3 M+ =", "8 ", "8"},
    {"MemoryClearKeepsPendingSum", "5 + 3 MC =", "8 ", "8"},
    {"AddingMachineNegative", "CE +/- 1 2", "-0.12 ", "-0.12", 0, kDefaultOptions, -2},
    {"AddingMachineAfterTypedSeparator", ".5 C 1", "0.01 ", "0.01", 0, kDefaultOptions, -2},
    {"DigitAfterSqrtStartsNewEntry", "9 Sqrt 5", "5 ", "5"},
    {"DigitAfterReciprocalKeepsPendingAdd", "5 + 4 1/x 3 =", "8 ", "8"},
    {"DigitAfterErrorStartsNewEntry", "5 +/- Sqrt 3", "3 ", "3", 2},
    {"DigitAfterDivideByZeroStartsNewEntry", "8 / 0.0 = 5", "5 ", "5", 2},
    {"DigitAfterDivideByZeroKeepsPendingDivide", "8 / 0.0 = 5 =", "1.6 ", "1.6", 2},
    {"SeparatorAfterErrorStartsNewEntry", "5 +/- Sqrt . 5", "0.5 ", "0.5", 2},
    {"BackOnOneDigitThenSign", "6 Back +/-", "0.00 ", "-"},
    {"BackOnExponentResultClearsEntry", "1 / 30000 = Back", "0 ", ""},
    {"BackTwiceOnExponentResultDoesNotLock", "1 / 30000 = Back Back", "0 ", ""},
    {"StoreKeepsShownDecimals", "1.5 + 2.25 MS MR", "2.25 ", "2.25"},
    {"StoredValueAddsWithShownDecimals", "1.5 + 2.25 MS MR =", "3.75 ", "3.75"},
};

INSTANTIATE_TEST_SUITE_P(Mended, KeySequence, ::testing::ValuesIn(kMendedRows),
                         testing::RowName());

TEST(CalculatorMemory, MemoryAddAfterMemoryAddRecallsSum) {
    Rig rig;
    Press(rig.calc, "2 MS C 5 + 3 M+ =");
    EXPECT_EQ(static_cast<double>(rig.calc.memory()), 5.0);
}

TEST(CalculatorMemory, OverflowingMemoryAddClearsSilently) {
    Rig rig;
    rig.calc.setMemory(std::numeric_limits<long double>::max());
    Press(rig.calc, "1" + std::string(4931, '0') + " M+");  // 1e4931 more is too much
    EXPECT_EQ(static_cast<double>(rig.calc.memory()), 0.0);
    EXPECT_EQ(rig.host.beeps, 0);
    EXPECT_FALSE(rig.calc.engine().state.error);
}

TEST(CalculatorMemory, MemoryChangeAsksForLayout) {
    Rig rig;
    const int before = rig.host.layouts;
    rig.calc.setMemory(5);
    EXPECT_EQ(rig.host.layouts, before + 1);
    rig.calc.setMemory(5);  // same value: nothing to redo
    EXPECT_EQ(rig.host.layouts, before + 1);
}

TEST(CalculatorMemory, MemoryKeysRepaintMemoryButtons) {
    Rig rig;
    Press(rig.calc, "5 M+");
    const auto& r = rig.host.repaints;
    EXPECT_NE(std::find(r.begin(), r.end(), Key::MemClear), r.end());
    EXPECT_NE(std::find(r.begin(), r.end(), Key::MemRecall), r.end());
}

TEST(CalculatorPress, KeyShowsButtonSunkenWhileHandled) {
    Rig rig;
    rig.calc.pressButton(Key::Digit7);
    ASSERT_EQ(rig.host.repaints.size(), 2u);
    EXPECT_EQ(rig.host.repaints[0], Key::Digit7);
    EXPECT_EQ(rig.host.pressedAtRepaint[0], Key::Digit7);  // drawn sunken first
    EXPECT_EQ(rig.host.pressedAtRepaint[1], Key::None);    // then raised again
    EXPECT_EQ(rig.calc.pressedButton(), Key::None);
}

TEST(CalculatorPress, MouseHeldKeepsPressedLook) {
    Rig rig;
    rig.host.mouseHeld = true;
    rig.calc.setPressedButton(Key::Digit7);  // the mouse-down drew it
    rig.calc.pressButton(Key::Digit7);
    EXPECT_EQ(rig.calc.pressedButton(), Key::Digit7);
}

TEST(CalculatorPress, RaisesButtonPressedWithChangedButton) {
    Rig rig;
    std::vector<Key> seen;
    rig.calc.onButtonPressed = [&](Key b) { seen.push_back(b); };
    Press(rig.calc, "=");  // = after nothing counts as C
    EXPECT_EQ(rig.calc.lastButton(), Key::Clear);
    Press(rig.calc, "5");
    EXPECT_EQ(seen, (std::vector<Key>{Key::Clear, Key::Digit5}));
}

TEST(CalculatorTape, AdditionWritesLinesItemCountTotalAndSeparator) {
    Rig rig;
    Press(rig.calc, "5 + 3 =");
    const auto& lines = rig.calc.tape().lines();
    ASSERT_EQ(lines.size(), 30u);
    const std::vector<std::string> tail(lines.end() - 5, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"         5 +", "         3 =", "         002",
                                              "         8 *", "____________"}));
    EXPECT_TRUE(lines[24].empty());
}

TEST(CalculatorTape, ItemCountOffWritesNoCountLine) {
    Rig rig;
    rig.calc.setOptions(CalculatorOptions{CalculatorOption::ShowMemoryButtons});
    Press(rig.calc, "5 + 3 =");
    const auto& lines = rig.calc.tape().lines();
    EXPECT_EQ(lines[lines.size() - 3], "         3 =");
    EXPECT_EQ(lines[lines.size() - 2], "         8 *");
}

TEST(CalculatorTape, PercentThenEqualsWritesResultWithEqualsMark) {
    Rig rig;
    Press(rig.calc, "200 + 10 % =");
    const auto& lines = rig.calc.tape().lines();
    EXPECT_EQ(lines[lines.size() - 3], "       200 +");
    EXPECT_EQ(lines[lines.size() - 2], "        10 %");
    EXPECT_EQ(lines.back(), "       220 =");
}

TEST(CalculatorTape, OperatorTwiceWritesFormattedEntry) {
    Rig rig;
    Press(rig.calc, "5 + +");
    const auto& lines = rig.calc.tape().lines();
    EXPECT_EQ(lines[lines.size() - 1], "         5 +");
    EXPECT_EQ(lines[lines.size() - 2], "         5 +");
    EXPECT_EQ(rig.calc.displayText(), "10 ");
}

TEST(CalculatorTape, ClearWritesSeparatorOnceAndClearTapeBlanks) {
    Rig rig;
    Press(rig.calc, "5 C C");
    const auto& lines = rig.calc.tape().lines();
    EXPECT_EQ(lines.back(), "____________");
    EXPECT_TRUE(lines[lines.size() - 2].empty());
    Press(rig.calc, "CT");
    for (const auto& line : rig.calc.tape().lines()) EXPECT_TRUE(line.empty());
}

TEST(CalculatorText, AssigningTextTypesIt) {
    Rig rig;
    rig.calc.setText("12+3=");
    EXPECT_EQ(rig.calc.displayText(), "15 ");
}

struct PasteRow {
    const char* name;
    std::optional<std::string> clipboard;
    const char* display;
};
void PrintTo(const PasteRow& row, std::ostream* os) {
    *os << row.name;
}

class CalculatorPaste : public ::testing::TestWithParam<PasteRow> {};

TEST_P(CalculatorPaste, TypesAcceptedCharacters) {
    Rig rig;
    Press(rig.calc, "7");
    rig.host.clipboard = GetParam().clipboard;
    rig.calc.keyPress('\x16');
    EXPECT_EQ(rig.calc.displayText(), GetParam().display);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CalculatorPaste,
    ::testing::Values(PasteRow{"Sum", std::string("12+3="), "15 "},
                      PasteRow{"OtherCharactersSkipped", std::string("x1 2\r\n+a3="), "15 "},
                      PasteRow{"NothingAcceptedOnlyClears", std::string("abc"), "0 "},
                      PasteRow{"EmptyTextChangesNothing", std::string(), "7 "},
                      PasteRow{"NoTextChangesNothing", std::nullopt, "7 "}),
    testing::RowName());

TEST(CalculatorCopy, CopiesDisplayWithTrailingBlank) {
    Rig rig;
    Press(rig.calc, "5 + 3 =");
    rig.calc.keyPress('\x03');
    EXPECT_EQ(rig.host.clipboard, "8 ");
}

TEST(CalculatorCopy, EntryForEditCopyHasNoBlank) {
    Rig rig;
    Press(rig.calc, "5 + 3 =");
    EXPECT_EQ(rig.calc.entryTextToCopy(), "8");
    EXPECT_EQ(rig.host.beeps, 0);
}

TEST(CalculatorCopy, ErrorStateCopiesNothingAndBeeps) {
    Rig rig;
    Press(rig.calc, "1 / 0 =");
    ASSERT_EQ(rig.host.beeps, 1);
    rig.host.clipboard = "sentinel";
    rig.calc.keyPress('\x03');
    EXPECT_EQ(rig.host.clipboard, "sentinel");
    EXPECT_EQ(rig.host.beeps, 2);
    EXPECT_EQ(rig.calc.entryTextToCopy(), std::nullopt);
    EXPECT_EQ(rig.host.beeps, 3);
}

TEST(CalculatorLocale, CommaSeparator) {
    Rig rig(',');
    Press(rig.calc, "1,5 + 2 =");
    EXPECT_EQ(rig.calc.displayText(), "3,5 ");
    rig.calc.keyPress('.');  // the full stop still types the separator
    rig.calc.keyPress('2');
    EXPECT_EQ(rig.calc.entryText(), "0,2");
}

TEST(CalculatorRecall, DoubleClickedLineBecomesEntry) {
    Rig rig;
    Press(rig.calc, "1.5 + 2 = C");
    const auto& lines = rig.calc.tape().lines();
    const auto total = static_cast<std::size_t>(
        std::find(lines.begin(), lines.end(), "       3.5 *") - lines.begin());
    ASSERT_LT(total, lines.size());
    rig.calc.recallTapeLine(total);
    EXPECT_EQ(rig.calc.entryText(), "3.5");
    EXPECT_EQ(rig.calc.entryDecimals(), 1);
    Press(rig.calc, "+ 1 =");
    EXPECT_EQ(rig.calc.displayText(), "4.5 ");
}

TEST(CalculatorRecall, SeparatorAndBlankLinesChangeNothing) {
    Rig rig;
    Press(rig.calc, "5 + 3 = 9");
    const auto& lines = rig.calc.tape().lines();
    rig.calc.recallTapeLine(lines.size() - 1);  // the separator
    rig.calc.recallTapeLine(0);                 // a blank line
    EXPECT_EQ(rig.calc.entryText(), "9");
    EXPECT_EQ(rig.calc.displayText(), "9 ");
}

}  // namespace
}  // namespace corvalo::deskcalc
