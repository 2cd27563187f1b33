#include "platform/ansi_text.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/locale_separators.h"

namespace corvalo::platform {
namespace {

TEST(Utf8ToAnsi, Table) {
    struct Row {
        const char* name;
        std::string utf8;
        std::string ansi;
    };
    const Row rows[] = {
        {"ASCII with CR LF stays", "1\r\n2", "1\r\n2"},
        {"LF becomes CR LF", "1\n2\n", "1\r\n2\r\n"},
        {"lone CR stays", "1\r2", "1\r2"},
        {"Latin-1 maps to itself", "\xC3\xA9\xC2\xA3", "\xE9\xA3"},
        {"minus sign",
         "\xE2\x88\x92"
         "5",
         "-5"},
        {"no-break space",
         "1\xC2\xA0"
         "234",
         "1\xA0"
         "234"},
        {"figure space",
         "1\xE2\x80\x87"
         "234",
         "1\xA0"
         "234"},
        {"thin space",
         "1\xE2\x80\x89"
         "234",
         "1\xA0"
         "234"},
        {"narrow no-break space",
         "1\xE2\x80\xAF"
         "234",
         "1\xA0"
         "234"},
        {"Swiss grouping mark",
         "1\xE2\x80\x99"
         "234",
         "1'234"},
        {"euro is unmappable",
         "\xE2\x82\xAC"
         "12",
         "?12"},
        {"emoji is unmappable", "\xF0\x9F\x98\x80", "?"},
        {"invalid bytes one each",
         "\xFF\xC3"
         "1",
         "??1"},
        {"overlong form", "\xC0\xAF", "??"},
        {"surrogate", "\xED\xA0\x80", "???"},
        {"truncated sequence", "1\xE2\x88", "1??"},
        {"stops at NUL",
         std::string("12\0"
                     "34",
                     5),
         "12"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(utf8ToAnsi(r.utf8), r.ansi);
        BigBuffer<char> big;
        utf8ToAnsi(r.utf8, big);
        EXPECT_EQ(std::string(big.data(), big.size()), r.ansi);
    }
}

TEST(Utf8ToAnsi, DashesAsMinusOnlyWhenAsked) {
    struct Row {
        const char* name;
        std::string utf8;
        std::string unmapped;
        std::string asMinus;
    };
    const Row rows[] = {
        {"en dash",
         "\xE2\x80\x93"
         "5",
         "?5", "-5"},
        {"figure dash",
         "\xE2\x80\x92"
         "5",
         "?5", "-5"},
        {"minus sign either way",
         "\xE2\x88\x92"
         "5",
         "-5", "-5"},
        {"em dash stays unmappable",
         "\xE2\x80\x94"
         "5",
         "?5", "?5"},
        {"hyphen stays unmappable",
         "\xE2\x80\x90"
         "5",
         "?5", "?5"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(utf8ToAnsi(r.utf8), r.unmapped);
        EXPECT_EQ(utf8ToAnsi(r.utf8, Dashes::Unmapped), r.unmapped);
        EXPECT_EQ(utf8ToAnsi(r.utf8, Dashes::AsMinus), r.asMinus);
        BigBuffer<char> big;
        utf8ToAnsi(r.utf8, big, Dashes::AsMinus);
        EXPECT_EQ(std::string(big.data(), big.size()), r.asMinus);
    }
}

TEST(IsAnsiCrLf, OnlyPlainCrLfText) {
    EXPECT_TRUE(isAnsiCrLf("1\t2\r\n3"));
    EXPECT_TRUE(isAnsiCrLf(""));
    EXPECT_FALSE(isAnsiCrLf("1\n"));
    EXPECT_FALSE(isAnsiCrLf("\n"));
    EXPECT_FALSE(isAnsiCrLf("\xC3\xA9"));
    EXPECT_FALSE(isAnsiCrLf(std::string("1\0", 2)));
}

TEST(AnsiToUtf8, BackToLinuxText) {
    EXPECT_EQ(ansiToUtf8("1,234.50"), "1,234.50");
    EXPECT_EQ(ansiToUtf8("1\xA0"
                         "234,50"),
              "1\xC2\xA0"
              "234,50");
    EXPECT_EQ(ansiToUtf8("  a  \r\n  b  "), "  a  \n  b  ");
    EXPECT_EQ(ansiToUtf8("\xE9"), "\xC3\xA9");
}

TEST(SeparatorsFromLocaleTexts, Table) {
    struct Row {
        const char* name;
        std::string decimal, thousands;
        char d, t;
    };
    const Row rows[] = {
        {"English", ".", ",", '.', ','},
        {"German", ",", ".", ',', '.'},
        {"French (narrow no-break space)", ",", "\xE2\x80\xAF", ',', '\xA0'},
        {"Swiss", ".", "\xE2\x80\x99", '.', '\''},
        {"Swiss apostrophe", ".", "'", '.', '\''},
        {"C locale has no grouping", ".", "", '.', ','},
        {"comma decimal without grouping", ",", "", ',', '.'},
        {"legacy Latin-1 locale", ",", "\xA0", ',', '\xA0'},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const LocaleSeparators s = separatorsFromLocaleTexts(r.decimal, r.thousands);
        EXPECT_EQ(s.decimal, r.d);
        // An unmappable separator ('?') would read every unknown character as grouping.
        EXPECT_EQ(s.thousands, r.t == '?' ? ',' : r.t);
    }
}

}  // namespace
}  // namespace corvalo::platform
