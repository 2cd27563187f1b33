#include "platform/locale_separators.h"

#include <gtest/gtest.h>

#include <locale.h>
#include <stdlib.h>

#include <string>

namespace corvalo::platform {
namespace {

// Each row: the locale's decimal and thousands texts, then the two characters expected.
TEST(SeparatorsFromLocaleTexts, Table) {
    const struct {
        const char *name, *decimal, *thousands, *expected;
    } rows[] = {
        {"English", ".", ",", ".,"},
        {"German", ",", ".", ",."},
        {"French (narrow no-break space)", ",", "\u202F", ",\xA0"},
        {"Swiss", ".", "\u2019", ".'"},
        {"Swiss apostrophe", ".", "'", ".'"},
        {"C locale has no grouping", ".", "", ".,"},
        {"comma decimal without grouping", ",", "", ",."},
        {"grouping same as the decimal", ",", ",", ",."},
        // An unmappable one would read every unknown character as a separator.
        {"unmappable separators", "\u066B", "\u066C", ".,"},
        {"legacy Latin-1 locale", ",", "\xA0", ",\xA0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const LocaleSeparators s = separatorsFromLocaleTexts(row.decimal, row.thousands);
        EXPECT_EQ(std::string({s.decimal, s.thousands}), row.expected);
    }
}

// The glibc texts of real locales (skipped where not installed; Debian: locales-all); an
// unknown locale reads as the C locale. The process's own locale stays as it was.
TEST(ReadUserLocaleSeparators, ReadsTheLocaleAndLeavesTheProcessLocaleAlone) {
    const std::string oldLcAll = getenv("LC_ALL") != nullptr ? getenv("LC_ALL") : "C";
    const struct {
        const char* locale;
        bool real;
        const char* expected;
    } rows[] = {{"de_DE.UTF-8", true, ",."},
                {"fr_FR.UTF-8", true, ",\xA0"},
                {"no_SUCH.locale", false, ".,"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.locale);
        locale_t installed = newlocale(LC_NUMERIC_MASK, row.locale, locale_t{});
        if (installed != locale_t{}) freelocale(installed);
        if (installed == locale_t{} && row.real) continue;
        setenv("LC_ALL", row.locale, 1);
        const std::string before = setlocale(LC_NUMERIC, nullptr);
        const LocaleSeparators s = readUserLocaleSeparators();
        EXPECT_EQ(std::string({s.decimal, s.thousands}), row.expected);
        EXPECT_EQ(setlocale(LC_NUMERIC, nullptr), before);
    }
    setenv("LC_ALL", oldLcAll.c_str(), 1);
}

}  // namespace
}  // namespace corvalo::platform
