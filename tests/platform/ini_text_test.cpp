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

TEST(ParseIniInt, Numbers) {
    const struct {
        std::string_view text;
        std::int32_t expected;
    } rows[] = {{"007", 7},
                {"-3", -3},
                {"+7", 7},
                {"2147483647", INT32_MAX},
                {"-2147483648", INT32_MIN},
                {"$FF", 255},
                {"X1f", 31},
                {"0X7fFfFfFf", INT32_MAX},
                {"$FFFFFFFF", -1},
                {"0x80000005", INT32_MIN + 5}};
    for (const auto& row : rows) EXPECT_EQ(parseIniInt(row.text), row.expected) << row.text;
}

TEST(ParseIniInt, NotNumbers) {
    for (const std::string_view text :
         {""sv, "-"sv, "2147483648"sv, "-2147483649"sv, "99999999999999999999999"sv,
          "$000000001"sv, "$"sv, "0x"sv, "-$1"sv, "0x1g"sv, "1.5"sv, "12a"sv, "1\0002"sv}) {
        EXPECT_EQ(parseIniInt(text), std::nullopt) << text;
    }
}

// Every row reads the key "A B" of section "S"; "-" stands for the default.
TEST(IniTextGet, Table) {
    const struct {
        const char* name;
        std::string text;
        std::string expected;
    } rows[] = {
        {"CrLf", "[S]\r\nX=1\r\nA B=2\r\n", "2"},
        {"NoFinalLineEnd", "[S]\nA B=12", "12"},
        {"SectionOtherCase", "[s]\nA B=1\n", "1"},
        {"KeyOtherCase", "[S]\na b=4\n", "4"},
        {"BlanksAround", "  [ S ]  \n\t A B \t=  x y \t\r\n", "x y"},
        {"DoubleQuotes", "[S]\nA B=\"MS Sans Serif\"\n", "MS Sans Serif"},
        {"SingleQuotes", "[S]\nA B='Arial'\n", "Arial"},
        {"LoneQuote", "[S]\nA B=\"\n", "\""},
        {"EqualsInValue", "[S]\nA B=a=b\n", "a=b"},
        {"FirstDuplicateWins", "[S]\nA B=1\nA B=2\n", "1"},
        {"SecondSectionOfSameName", "[S]\nX=1\n[S]\nA B=2\n", "2"},
        {"KeyOfOtherSection", "[S]\n[T]\nA B=1\n", "-"},
        {"BeforeAnySection", "A B=1\n[S]\n", "-"},
        {"Commented", "[S]\n;A B=1\n", "-"},
        {"NoEquals", "[S]\nA B\n", "-"},
        {"HeaderWithoutBracket", "[T]\n[S\nA B=1\n", "-"},
        {"NulInValue", "[S]\nA B=1\0002\n"s, "1\0002"s},
        {"NulBeforeKey", "[S]\n\0A B=1\n"s, "1"},
        {"SeesAtMost2047Characters", "[S]\nA B=" + std::string(5000, 'v'), std::string(2047, 'v')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(IniText(row.text).get("S", "A B", "-"), row.expected);
    }
}

// Short hostile files are the fuzz target's; these are too long for it.
TEST(IniTextGet, HostileFilesNeverHideTheReadableKeys) {
    const struct {
        const char* name;
        std::string text;
    } rows[] = {
        {"TenMegabyteLine", "[S]\n" + std::string(10'000'000, '=') + "\nK=5\n"},
        {"TenMegabyteValue", "[S]\nX=" + std::string(10'000'000, '[') + "\nK=5"},
        {"Nuls", std::string(1000, '\0') + "\n[S]\n" + std::string(3, '\0') + "K=5\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        IniText ini(row.text);
        EXPECT_EQ(ini.get("S", "K", "d"), "5");
        EXPECT_TRUE(ini.set("S", "K", "6"));
        EXPECT_EQ(ini.get("S", "K", "d"), "6");
        EXPECT_EQ(ini.text().size(), row.text.size());
    }
}

// Every row sets the key K of its section to "7".
TEST(IniTextSet, Table) {
    const struct {
        const char* name;
        std::string before;
        const char* section;
        std::string after;
    } rows[] = {
        {"ReplacesInPlaceCrLf", "; mine\r\n[S]\r\nK=1\r\nB=2\r\n", "S",
         "; mine\r\n[S]\r\nK=7\r\nB=2\r\n"},
        {"KeepsSpellingAndSpacing", "[s]\n  k =  1  \n", "S", "[s]\n  k =  7\n"},
        {"ReplacesLastLineWithoutEnd", "[S]\nK=1", "S", "[S]\nK=7"},
        {"AddsAtEndOfSection", "[S]\nA=1\n\n[T]\nB=2\n", "S", "[S]\nA=1\nK=7\n\n[T]\nB=2\n"},
        {"AddsAfterCommentAndForeignKey", "[S]\nX=9\n; note\n[T]\n", "S",
         "[S]\nX=9\n; note\nK=7\n[T]\n"},
        {"AddsUnderBareHeader", "[S]\n[T]\n", "S", "[S]\nK=7\n[T]\n"},
        {"AddsAfterHeaderWithoutLineEnd", "[S]", "S", "[S]\nK=7\n"},
        {"AddsCrLfKeyInCrLfFile", "[S]\r\nA=1\r\n", "S", "[S]\r\nA=1\r\nK=7\r\n"},
        {"AddsToFirstOfTwinSections", "[S]\nA=1\n[S]\nB=2\n", "S", "[S]\nA=1\nK=7\n[S]\nB=2\n"},
        {"ReplacesInSecondTwinSection", "[S]\nA=1\n[S]\nK=2\n", "S", "[S]\nA=1\n[S]\nK=7\n"},
        {"NewSectionAtEnd", "[S]\nA=1\n", "T", "[S]\nA=1\n\n[T]\nK=7\n"},
        {"NewSectionAfterBlankLine", "[S]\nA=1\n\n", "T", "[S]\nA=1\n\n[T]\nK=7\n"},
        {"NewSectionWithoutFinalLineEnd", "[S]\r\nA=1", "T", "[S]\r\nA=1\r\n\r\n[T]\r\nK=7\r\n"},
        {"NewSectionWhenHeaderIsBroken", "[T\nK=1\n", "T", "[T\nK=1\n\n[T]\nK=7\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        IniText ini(row.before);
        EXPECT_TRUE(ini.set(row.section, "K", "7"));
        EXPECT_EQ(ini.text(), row.after);
    }
}

TEST(IniTextSet, LineBreaksInAValueBecomeBlanksAndAnEqualValueLeavesTheTextAlone) {
    IniText ini("[Fonts]\nN=a\n");
    EXPECT_TRUE(ini.set("Fonts", "N", "x\r\n[Show]\nA=1"));
    EXPECT_EQ(ini.text(), "[Fonts]\nN=x  [Show] A=1\n");
    const std::string text = "[Show]\r\nA = \"Arial\"  \r\nB=2\r\n";
    IniText same(text);
    EXPECT_FALSE(same.set("show", "a", "Arial"));
    EXPECT_FALSE(same.set("Show", "B", "2"));
    EXPECT_EQ(same.text(), text);
}

}  // namespace
}  // namespace corvalo::platform
