// The same pastes and results in the three kinds of locale a user meets:
// '.' and ',' (English), ',' and '.' (German), ',' and a no-break space (French).
#include <gtest/gtest.h>

#include <string>

#include "clipcalc/pipeline.h"

namespace corvalo::clipcalc {
namespace {

struct Locale {
    const char* name;
    char decimal;
    char thousands;
};

const Locale kLocales[] = {{"english", '.', ','}, {"german", ',', '.'}, {"french", ',', '\xA0'}};

// Written in English form; D and G stand for the locale's decimal and grouping
// characters wherever the text means them.
std::string localised(const std::string& english, const Locale& l) {
    std::string s = english;
    for (char& c : s) {
        if (c == 'D') {
            c = l.decimal;
        } else if (c == 'G') {
            c = l.thousands;
        }
    }
    return s;
}

struct Display : ResultDisplay {
    void setDisplayCaption(const std::string& c) override { caption = c; }
    std::string caption;
};

class EveryLocale : public ::testing::TestWithParam<Locale> {};

TEST_P(EveryLocale, PastesAndResults) {
    struct Row {
        const char* name;
        std::string paste;
        TabulationStyle style;
        int decimals;
        std::string shown;
    };
    const auto cols = TabulationStyle::UsingColumns;
    const auto rows = TabulationStyle::UsingRows;
    const Row table[] = {
        {"grouped amounts", "$1G234D50\r\n(234D50)\r\n", cols, 2, "1G000D00"},
        {"nine decimals", "1234567890D123456789\t0", rows, 9, "1G234G567G890D123456720"},
        {"scientific", "1D5E20\t0", rows, 2, "1D50E20"},
        {"exponent in a cell", "1D5e3\t1", rows, 0, "1G501"},
        {"leading separator", "D5\t-D5\t1", rows, 1, "1D0"},
    };
    const Locale& l = GetParam();
    for (const Row& r : table) {
        SCOPED_TRACE(r.name);
        CalcState s;
        s.setStartValues();
        s.localeDecimalSeparator = l.decimal;
        s.localeThousandSeparator = l.thousands;
        s.tabulationStyle = r.style;
        s.setResultDecimals(r.decimals);
        Grid g;
        Display d;
        const std::string paste = localised(r.paste, l);
        calculateClipboardText(platform::bigText(paste.data(), paste.size()), s, g, d);
        EXPECT_EQ(d.caption, localised(r.shown, l) + " ");
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, EveryLocale, ::testing::ValuesIn(kLocales),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace corvalo::clipcalc
