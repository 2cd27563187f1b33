// The INI text model: what a key reads as, and what a write does to the text.
#include "platform/ini_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvalo::platform {
namespace {

using namespace std::literals;

// ---- integers ------------------------------------------------------------------

struct IntRow {
    const char* name;
    std::string_view text;
    std::optional<std::int32_t> expected;
};

class ParseIniIntTest : public ::testing::TestWithParam<IntRow> {};

TEST_P(ParseIniIntTest, Reads) {
    EXPECT_EQ(parseIniInt(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseIniIntTest,
    ::testing::Values(
        IntRow{"Empty", "", std::nullopt}, IntRow{"Zero", "0", 0}, IntRow{"Plain", "456", 456},
        IntRow{"LeadingZeros", "007", 7}, IntRow{"Minus", "-3", -3}, IntRow{"Plus", "+7", 7},
        IntRow{"SignAlone", "-", std::nullopt}, IntRow{"Max", "2147483647", INT32_MAX},
        IntRow{"Min", "-2147483648", INT32_MIN}, IntRow{"AboveMax", "2147483648", std::nullopt},
        IntRow{"BelowMin", "-2147483649", std::nullopt},
        IntRow{"HugeDecimal", "99999999999999999999999", std::nullopt},
        IntRow{"Dollar", "$FF", 255}, IntRow{"LowerX", "x1", 1}, IntRow{"UpperX", "X1f", 31},
        IntRow{"ZeroX", "0x1", 1}, IntRow{"ZeroUpperX", "0X7fFfFfFf", INT32_MAX},
        IntRow{"EightDigitsAllOnes", "$FFFFFFFF", -1},
        IntRow{"EightDigitsTopBit", "0x80000005", INT32_MIN + 5},
        IntRow{"NineDigits", "$000000001", std::nullopt}, IntRow{"PrefixAlone", "$", std::nullopt},
        IntRow{"ZeroXAlone", "0x", std::nullopt}, IntRow{"SignedHex", "-$1", std::nullopt},
        IntRow{"BadHexDigit", "0x1g", std::nullopt}, IntRow{"Word", "yes", std::nullopt},
        IntRow{"Fraction", "1.5", std::nullopt}, IntRow{"TrailingLetter", "12a", std::nullopt},
        IntRow{"InnerBlank", "1 2", std::nullopt}, IntRow{"InnerNul", "1\0002"sv, std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

// ---- reading ---------------------------------------------------------------------

struct GetRow {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

class IniTextFindTest : public ::testing::TestWithParam<GetRow> {};

TEST_P(IniTextFindTest, Finds) {
    const IniText ini(GetParam().text);
    const auto found = ini.find(GetParam().section, GetParam().key);
    EXPECT_EQ(found ? std::optional<std::string>(*found) : std::nullopt, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniTextFindTest,
    ::testing::Values(
        GetRow{"Plain", "[Show]\nA=1\n", "Show", "A", "1"},
        GetRow{"CrLf", "[Show]\r\nA=1\r\nB=2\r\n", "Show", "B", "2"},
        GetRow{"NoFinalLineEnd", "[Show]\nA=12", "Show", "A", "12"},
        GetRow{"SectionOtherCase", "[sHOW]\nA=1\n", "Show", "A", "1"},
        GetRow{"KeyOtherCase", "[Show]\nresultdecimalformat=4\n", "Show", "ResultDecimalFormat",
               "4"},
        GetRow{"BlanksAround", "  [ Show ]  \n\t A \t=  x y \t\r\n", "Show", "A", "x y"},
        GetRow{"KeyWithBlankInside", "[Form]\nCalculator Default Startup=1\n", "Form",
               "Calculator Default Startup", "1"},
        GetRow{"EmptyValue", "[Show]\nA=\n", "Show", "A", ""},
        GetRow{"DoubleQuotes", "[Fonts]\nN=\"MS Sans Serif\"\n", "Fonts", "N", "MS Sans Serif"},
        GetRow{"SingleQuotes", "[Fonts]\nN='Arial'\n", "Fonts", "N", "Arial"},
        GetRow{"LoneQuote", "[Fonts]\nN=\"\n", "Fonts", "N", "\""},
        GetRow{"EqualsInValue", "[Internet]\nProxy=a=b\n", "Internet", "Proxy", "a=b"},
        GetRow{"FirstDuplicateWins", "[Show]\nA=1\nA=2\n", "Show", "A", "1"},
        GetRow{"SecondSectionOfSameName", "[Show]\nA=1\n[Show]\nB=2\n", "Show", "B", "2"},
        GetRow{"MissingSection", "[Show]\nA=1\n", "Fonts", "A", std::nullopt},
        GetRow{"MissingKey", "[Show]\nA=1\n", "Show", "B", std::nullopt},
        GetRow{"KeyOfOtherSection", "[Show]\nA=1\n[Fonts]\n", "Fonts", "A", std::nullopt},
        GetRow{"BeforeAnySection", "A=1\n[Show]\n", "Show", "A", std::nullopt},
        GetRow{"Commented", "[Show]\n;A=1\n", "Show", "A", std::nullopt},
        GetRow{"NoEquals", "[Show]\nA\n", "Show", "A", std::nullopt},
        GetRow{"HeaderWithoutBracket", "[Show]\n[Fonts\nA=1\n", "Show", "A", std::nullopt},
        GetRow{"NulInValue", "[Show]\nA=1\0002\n"s, "Show", "A", "1\0002"s},
        GetRow{"NulBeforeKey", "[Show]\n\0A=1\n"s, "Show", "A", "1"},
        GetRow{"EmptyFile", "", "Show", "A", std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(IniTextGet, SeesAtMost2047CharactersOfAValue) {
    const IniText ini("[S]\nK=" + std::string(5000, 'v') + "\n");
    EXPECT_EQ(ini.get("S", "K", "d"), std::string(2047, 'v'));
    EXPECT_EQ(ini.get("S", "Other", "d"), "d");
}

TEST(IniTextGet, HostileFilesNeverHideTheReadableKeys) {
    struct Row {
        const char* name;
        std::string text;
    };
    std::string garbage;
    for (int i = 0; i < 65536; ++i) garbage += static_cast<char>((i * 7919) % 256);
    const std::vector<Row> rows = {
        {"Binary", garbage + "\n[S]\nK=5\n"},
        {"TenMegabyteLine", "[S]\n" + std::string(10'000'000, '=') + "\nK=5\n"},
        {"TenMegabyteValue", "[S]\nX=" + std::string(10'000'000, '[') + "\nK=5"},
        {"Nuls", std::string(1000, '\0') + "\n[S]\n" + std::string(3, '\0') + "K=5\n"},
        {"LoneCarriageReturns", "\r\r[S]\r\nK=5\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        IniText ini(row.text);
        EXPECT_EQ(ini.get("S", "K", "d"), "5");
        EXPECT_EQ(ini.get("S", "Missing", "d"), "d");
        EXPECT_TRUE(ini.set("S", "K", "6"));
        EXPECT_EQ(ini.get("S", "K", "d"), "6");
        EXPECT_EQ(ini.text().size(), row.text.size());
    }
}

// ---- writing ---------------------------------------------------------------------

struct SetRow {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

class IniTextSetTest : public ::testing::TestWithParam<SetRow> {};

TEST_P(IniTextSetTest, Writes) {
    IniText ini(GetParam().before);
    EXPECT_TRUE(ini.set(GetParam().section, GetParam().key, GetParam().value));
    EXPECT_EQ(ini.text(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniTextSetTest,
    ::testing::Values(
        SetRow{"CreatesFile", "", "Show", "A", "1", "[Show]\nA=1\n"},
        SetRow{"ReplacesInPlaceCrLf", "; mine\r\n[Show]\r\nA=1\r\nB=2\r\n", "Show", "A", "10",
               "; mine\r\n[Show]\r\nA=10\r\nB=2\r\n"},
        SetRow{"KeepsSpellingAndSpacing", "[SHOW]\n  a =  1  \n", "Show", "A", "7",
               "[SHOW]\n  a =  7\n"},
        SetRow{"ReplacesLastLineWithoutEnd", "[Show]\nA=1", "Show", "A", "2", "[Show]\nA=2"},
        SetRow{"EmptyValueFilled", "[Show]\nA=\n", "Show", "A", "3", "[Show]\nA=3\n"},
        SetRow{"AddsAtEndOfSection", "[Show]\nA=1\n\n[Fonts]\nB=2\n", "Show", "C", "3",
               "[Show]\nA=1\nC=3\n\n[Fonts]\nB=2\n"},
        SetRow{"AddsAfterCommentAndForeignKey", "[Show]\nX=9\n; note\n[Fonts]\n", "Show", "A", "1",
               "[Show]\nX=9\n; note\nA=1\n[Fonts]\n"},
        SetRow{"AddsUnderBareHeader", "[Show]\n[Fonts]\n", "Show", "A", "1",
               "[Show]\nA=1\n[Fonts]\n"},
        SetRow{"AddsAfterHeaderWithoutLineEnd", "[Show]", "Show", "A", "1", "[Show]\nA=1\n"},
        SetRow{"AddsCrLfKeyInCrLfFile", "[Show]\r\nA=1\r\n", "Show", "B", "2",
               "[Show]\r\nA=1\r\nB=2\r\n"},
        SetRow{"AddsToFirstOfTwinSections", "[Show]\nA=1\n[Show]\nB=2\n", "Show", "C", "3",
               "[Show]\nA=1\nC=3\n[Show]\nB=2\n"},
        SetRow{"ReplacesInSecondTwinSection", "[Show]\nA=1\n[Show]\nB=2\n", "Show", "B", "5",
               "[Show]\nA=1\n[Show]\nB=5\n"},
        SetRow{"NewSectionAtEnd", "[Show]\nA=1\n", "Form", "Left", "520",
               "[Show]\nA=1\n\n[Form]\nLeft=520\n"},
        SetRow{"NewSectionAfterBlankLine", "[Show]\nA=1\n\n", "Form", "Left", "5",
               "[Show]\nA=1\n\n[Form]\nLeft=5\n"},
        SetRow{"NewSectionWithoutFinalLineEnd", "[Show]\r\nA=1", "Form", "Left", "5",
               "[Show]\r\nA=1\r\n\r\n[Form]\r\nLeft=5\r\n"},
        SetRow{"NewSectionWhenHeaderIsBroken", "[Form\nLeft=1\n", "Form", "Left", "5",
               "[Form\nLeft=1\n\n[Form]\nLeft=5\n"},
        SetRow{"LineBreaksInValueBecomeBlanks", "[Fonts]\nN=a\n", "Fonts", "N", "x\r\n[Show]\nA=1",
               "[Fonts]\nN=x  [Show] A=1\n"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(IniTextSet, ValueThatAlreadyReadsTheSameLeavesTheTextAlone) {
    const std::string text = "[Show]\r\nA = \"Arial\"  \r\nB=2\r\n";
    IniText ini(text);
    EXPECT_FALSE(ini.set("show", "a", "Arial"));
    EXPECT_FALSE(ini.set("Show", "B", "2"));
    EXPECT_EQ(ini.text(), text);
}

}  // namespace
}  // namespace corvalo::platform
