#include "platform/locale_separators.h"

#include <gtest/gtest.h>

#include <locale.h>
#include <stdlib.h>

#include <string>

namespace corvalo::platform {
namespace {

bool installed(const char* name) {
    locale_t l = newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(nullptr));
    if (l == static_cast<locale_t>(nullptr)) return false;
    freelocale(l);
    return true;
}

struct LocaleRow {
    const char* name;
    const char* locale;
    bool mustBeInstalled;
    char decimal;
    char thousands;
};

// Each test sets LC_ALL and gets the value CTest gave back.
class ReadUserLocaleSeparatorsTest : public ::testing::TestWithParam<LocaleRow> {
  protected:
    void TearDown() override { setenv("LC_ALL", old_.c_str(), 1); }
    const std::string old_ = getenv("LC_ALL") != nullptr ? getenv("LC_ALL") : "C";
};

TEST_P(ReadUserLocaleSeparatorsTest, ReadsTheLocale) {
    const LocaleRow& row = GetParam();
    if (row.mustBeInstalled && !installed(row.locale)) {
        GTEST_SKIP() << row.locale << " is not installed (Debian: locales-all)";
    }
    setenv("LC_ALL", row.locale, 1);
    const LocaleSeparators s = readUserLocaleSeparators();
    EXPECT_EQ(s.decimal, row.decimal);
    EXPECT_EQ(s.thousands, row.thousands);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadUserLocaleSeparatorsTest,
                         ::testing::Values(LocaleRow{"C", "C", true, '.', ','},
                                           LocaleRow{"CUtf8", "C.UTF-8", true, '.', ','},
                                           LocaleRow{"English", "en_US.UTF-8", true, '.', ','},
                                           LocaleRow{"German", "de_DE.UTF-8", true, ',', '.'},
                                           // U+202F narrow no-break space
                                           LocaleRow{"French", "fr_FR.UTF-8", true, ',', '\xA0'},
                                           LocaleRow{"Swiss", "de_CH.UTF-8", true, '.', '\''},
                                           // An unknown locale reads as the C locale.
                                           LocaleRow{"Unknown", "no_SUCH.locale", false, '.',
                                                     ','}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ReadUserLocaleSeparatorsTest, LeavesTheProcessLocaleAlone) {
    if (!installed("de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    const std::string before = setlocale(LC_NUMERIC, nullptr);
    readUserLocaleSeparators();
    EXPECT_EQ(setlocale(LC_NUMERIC, nullptr), before);
}

}  // namespace
}  // namespace corvalo::platform
