#include "clipcalc/format.h"

#include <gtest/gtest.h>

#include <string>

namespace corvalo::clipcalc {
namespace {

struct FormatRow {
    const char* name;
    double v;
    int decimals;
    std::string text;
    char decimal = '.';
    char thousands = ',';
};

TEST(FormatResult, Table) {
    const FormatRow rows[] = {
        {"grouping, 2 decimals", 1234567.891, 2, "1,234,567.89"},
        {"negative half, no decimals", -1234.5, 0, "-1,235"},
        {"half away from zero", 0.125, 2, "0.13"},
        {"carry across groups", 999999.996, 2, "1,000,000.00"},
        {"digits past 18 are zeros", 1234567890.123456789, 9, "1,234,567,890.123456720"},
        {"negative rounding to zero keeps sign", -0.001, 2, "-0.00"},
        {"negative zero", -0.0, 2, "0.00"},
        {"largest plain", 999999999999999872.0, 0, "999,999,999,999,999,872"},
        {"scientific", 1.5e20, 2, "1.50E20"},
        {"scientific half at no decimals", 1.5e20, 0, "2E20"},
        {"scientific at 10^18", 1e18, 1, "1.0E18"},
        {"scientific carry into the exponent", 9.9999e20, 2, "1.00E21"},
        {"scientific half away from zero", 1.125e20, 2, "1.13E20"},
        {"scientific negative", -2.25e30, 3, "-2.250E30"},
        {"scientific all 17 mantissa decimals", 1.2345678901234567e20, 17,
         "1.23456789012345668E20"},
        {"largest double", 1.7976931348623157e308, 2, "1.80E308"},
        {"above 18 decimals rounds at 2", 1.006, 19, "1.0100000000000000000"},
        {"eighteen decimals", 0.1, 18, "0.100000000000000006"},
        {"decimals capped at 255", 1.0, 2'000'000'000, "1." + std::string(255, '0')},
        {"comma locale", 1234.5, 2, "1.234,50", ',', '.'},
        {"no-break space grouping", 1234567.25, 1, "1\240234\240567,3", ',', '\240'},
    };
    for (const FormatRow& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(formatResult(r.v, r.decimals, r.decimal, r.thousands), r.text);
    }
}

// As shown, less the grouping: the decimal separator and the exponent stay.
TEST(FormatResultPlain, Table) {
    const FormatRow rows[] = {
        {"grouping dropped", 1234567.891, 2, "1234567.89"},
        {"comma decimal kept", 1234.5, 2, "1234,50", ',', '.'},
        {"scientific with comma", 1.5e20, 1, "1,5E20", ',', '.'},
    };
    for (const FormatRow& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(formatResultPlain(r.v, r.decimals, r.decimal), r.text);
        CalcState s;
        s.setResultDecimals(r.decimals);
        s.localeDecimalSeparator = r.decimal;
        s.localeThousandSeparator = r.thousands;
        EXPECT_EQ(formatResultPlain(s, r.v), r.text);
    }
}

TEST(LocaliseDecimalCaption, ReplacesThePoint) {
    EXPECT_EQ(localiseDecimalCaption(kDecimalMenuCaptions[0], ','), "0");
    EXPECT_EQ(localiseDecimalCaption(kDecimalMenuCaptions[2], ','), "0,12");
}

}  // namespace
}  // namespace corvalo::clipcalc
