#include "platform/locale_separators.h"

#include <gtest/gtest.h>

#include <locale.h>
#include <stdlib.h>

#include <string>

namespace corvalo::platform {
namespace {

// Sets LC_ALL for one test and puts the old value back.
class ScopedLcAll {
  public:
    explicit ScopedLcAll(const char* value) {
        if (const char* old = getenv("LC_ALL")) old_ = old;
        setenv("LC_ALL", value, 1);
    }
    ~ScopedLcAll() {
        if (old_.empty())
            unsetenv("LC_ALL");
        else
            setenv("LC_ALL", old_.c_str(), 1);
    }

  private:
    std::string old_;
};

bool installed(const char* name) {
    locale_t l = newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(nullptr));
    if (l == static_cast<locale_t>(nullptr)) return false;
    freelocale(l);
    return true;
}

TEST(ReadUserLocaleSeparators, RealLocales) {
    struct Row {
        const char* locale;
        char decimal, thousands;
    };
    const Row rows[] = {
        {"C", '.', ','},
        {"C.UTF-8", '.', ','},
        {"en_US.UTF-8", '.', ','},
        {"de_DE.UTF-8", ',', '.'},
        {"fr_FR.UTF-8", ',', '\xA0'},  // U+202F narrow no-break space
        {"de_CH.UTF-8", '.', '\''},
        {"no_SUCH.locale", '.', ','},  // an unknown locale reads as the C locale
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.locale);
        if (r.locale[0] != 'n' && !installed(r.locale)) {
            GTEST_SKIP() << r.locale << " is not installed (Debian: locales-all)";
        }
        ScopedLcAll lc(r.locale);
        const LocaleSeparators s = readUserLocaleSeparators();
        EXPECT_EQ(s.decimal, r.decimal);
        EXPECT_EQ(s.thousands, r.thousands);
    }
}

TEST(ReadUserLocaleSeparators, LeavesTheProcessLocaleAlone) {
    ScopedLcAll lc("de_DE.UTF-8");
    const std::string before = setlocale(LC_NUMERIC, nullptr);
    readUserLocaleSeparators();
    EXPECT_EQ(setlocale(LC_NUMERIC, nullptr), before);
}

}  // namespace
}  // namespace corvalo::platform
