#include "platform/locale_separators.h"

#include <gtest/gtest.h>

#include <locale.h>
#include <stdlib.h>

#include <string>

namespace corvalo::platform {
namespace {

TEST(SeparatorsFromLocaleTexts, Table) {
    const struct {
        const char* name;
        std::string decimal, thousands;
        char d, t;
    } rows[] = {
        {"English", ".", ",", '.', ','},
        {"German", ",", ".", ',', '.'},
        {"French (narrow no-break space)", ",", "\u202F", ',', '\xA0'},
        {"Swiss", ".", "\u2019", '.', '\''},
        {"Swiss apostrophe", ".", "'", '.', '\''},
        {"C locale has no grouping", ".", "", '.', ','},
        {"comma decimal without grouping", ",", "", ',', '.'},
        {"grouping same as the decimal", ",", ",", ',', '.'},
        // An unmappable one would read every unknown character as a separator.
        {"unmappable separators", "\u066B", "\u066C", '.', ','},
        {"legacy Latin-1 locale", ",", "\xA0", ',', '\xA0'},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const LocaleSeparators s = separatorsFromLocaleTexts(row.decimal, row.thousands);
        EXPECT_EQ(s.decimal, row.d);
        EXPECT_EQ(s.thousands, row.t);
    }
}

bool installed(const char* name) {
    locale_t l = newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(nullptr));
    if (l == static_cast<locale_t>(nullptr)) return false;
    freelocale(l);
    return true;
}

struct LocaleRow {
    const char* name;
    const char* locale;
    bool real;
    char decimal;
    char thousands;
};

// Each test sets LC_ALL and gives back the value CTest set.
class ReadUserLocaleSeparatorsTest : public ::testing::TestWithParam<LocaleRow> {
  protected:
    void TearDown() override { setenv("LC_ALL", old_.c_str(), 1); }
    const std::string old_ = getenv("LC_ALL") != nullptr ? getenv("LC_ALL") : "C";
};

// The glibc texts of real locales; an unknown locale reads as the C locale.
TEST_P(ReadUserLocaleSeparatorsTest, ReadsTheLocaleAndLeavesTheProcessLocaleAlone) {
    const LocaleRow& row = GetParam();
    if (row.real && !installed(row.locale)) {
        GTEST_SKIP() << row.locale << " is not installed (Debian: locales-all)";
    }
    setenv("LC_ALL", row.locale, 1);
    const std::string before = setlocale(LC_NUMERIC, nullptr);
    const LocaleSeparators s = readUserLocaleSeparators();
    EXPECT_EQ(s.decimal, row.decimal);
    EXPECT_EQ(s.thousands, row.thousands);
    EXPECT_EQ(setlocale(LC_NUMERIC, nullptr), before);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadUserLocaleSeparatorsTest,
                         ::testing::Values(LocaleRow{"German", "de_DE.UTF-8", true, ',', '.'},
                                           LocaleRow{"French", "fr_FR.UTF-8", true, ',', '\xA0'},
                                           LocaleRow{"Swiss", "de_CH.UTF-8", true, '.', '\''},
                                           LocaleRow{"Unknown", "no_SUCH.locale", false, '.',
                                                     ','}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace corvalo::platform
