#include "clipcalc/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace corvalo::clipcalc {
namespace {

struct Row {
    const char* name;
    double v;
    int decimals;
    std::string text;
    char decimal = '.';
    char thousands = ',';
};

TEST(FormatResult, Table) {
    const Row rows[] = {
        {"grouping, 2 decimals", 1234567.891, 2, "1,234,567.89"},
        {"negative, no decimals", -1234.5, 0, "-1,235"},
        {"padding", 0.5, 3, "0.500"},
        {"no grouping needed", 999, 0, "999"},
        {"half away from zero", 0.125, 2, "0.13"},
        {"half at integer", 2.5, 0, "3"},
        {"negative half", -2.5, 0, "-3"},
        {"carry across groups", 999999.996, 2, "1,000,000.00"},
        {"digits past 18 are zeros", 1234567890.123456789, 9, "1,234,567,890.123456720"},
        {"negative rounding to zero keeps sign", -0.001, 2, "-0.00"},
        {"zero", 0.0, 2, "0.00"},
        {"negative zero", -0.0, 2, "0.00"},
        {"tiny", 1e-300, 4, "0.0000"},
        {"largest plain", 999999999999999872.0, 0, "999,999,999,999,999,872"},
        {"scientific", 1.5e20, 2, "1.50E20"},
        {"scientific power of ten", 1e20, 2, "1.00E20"},
        {"scientific power of ten, no decimals", 1e20, 0, "1E20"},
        {"scientific half at no decimals", 1.5e20, 0, "2E20"},
        {"scientific at 10^18", 1e18, 1, "1.0E18"},
        {"scientific rounds up at no decimals", 1.999999e20, 0, "2E20"},
        {"scientific rounds up at 2 decimals", 1.999999e20, 2, "2.00E20"},
        {"scientific carry into the exponent", 9.9999e20, 2, "1.00E21"},
        {"scientific negative carry", -9.9999e20, 2, "-1.00E21"},
        {"scientific half away from zero", 1.125e20, 2, "1.13E20"},
        {"scientific 18 digits written before rounding", -2.25e30, 3, "-2.250E30"},
        {"scientific rounds down", 1.23456789e25, 2, "1.23E25"},
        {"scientific all 17 mantissa decimals", 1.2345678901234567e20, 17,
         "1.23456789012345668E20"},
        {"scientific above 18 decimals rounds at 2", 1.23756789e25, 20,
         "1.24000000000000000000E25"},
        {"largest double", 1.7976931348623157e308, 2, "1.80E308"},
        {"above 18 decimals: 2 rendered, rest padded", 7, 25, "7.0000000000000000000000000"},
        {"above 18 rounds at 2", 1.006, 19, "1.0100000000000000000"},
        {"eighteen decimals", 0.1, 18, "0.100000000000000006"},
        {"comma locale", 1234.5, 2, "1.234,50", ',', '.'},
        {"no-break space grouping", 1234567.25, 1,
         "1\xA0"
         "234\xA0"
         "567,3",
         ',', '\xA0'},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(formatResult(r.v, r.decimals, r.decimal, r.thousands), r.text);
    }
}

TEST(FormatResult, HugeDecimalCountIsBounded) {
    const std::string s = formatResult(1.0, 2'000'000'000, '.', ',');
    EXPECT_EQ(s.size(), 2u + static_cast<std::size_t>(kMaxShownDecimals));
    EXPECT_EQ(s.substr(0, 5), "1.000");
}

TEST(ShowResult, CaptionHasTrailingBlankAndStateDecimals) {
    struct Sink : ResultDisplay {
        void setDisplayCaption(const std::string& c) override { caption = c; }
        std::string caption;
    } sink;
    CalcState s;
    s.setStartValues();
    showResult(s, sink);
    EXPECT_EQ(sink.caption, "0.00 ");
    s.lastResult = 1234.5;
    s.setResultDecimals(-3);
    showResult(s, sink);
    EXPECT_EQ(sink.caption, "1,235 ");
}

TEST(LocaliseDecimalCaption, ReplacesTheFirstPoint) {
    EXPECT_EQ(localiseDecimalCaption(kDecimalMenuCaptions[0], ','), "0");
    EXPECT_EQ(localiseDecimalCaption(kDecimalMenuCaptions[2], ','), "0,12");
    EXPECT_EQ(localiseDecimalCaption(kDecimalMenuCaptions[9], '.'), "0.123456789");
}

// As shown, less the grouping: the decimal separator and the exponent stay.
TEST(FormatResultPlain, Table) {
    const Row rows[] = {
        {"grouping dropped", 1234567.891, 2, "1234567.89"},
        {"negative, no decimals", -1234.5, 0, "-1235"},
        {"carry across groups", 999999.996, 2, "1000000.00"},
        {"below a thousand", 999, 1, "999.0"},
        {"comma decimal kept", 1234.5, 2, "1234,50", ',', '.'},
        {"no-break space grouping dropped", 1234567.0, 0, "1234567", ',', '\xA0'},
        {"scientific unchanged", 1.5e20, 2, "1.50E20"},
        {"scientific with comma", 1.5e20, 1, "1,5E20", ',', '.'},
        {"negative rounding to zero keeps sign", -0.001, 2, "-0.00"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(formatResultPlain(r.v, r.decimals, r.decimal), r.text);
        CalcState s;
        s.setResultDecimals(r.decimals);
        s.localeDecimalSeparator = r.decimal;
        s.localeThousandSeparator = r.thousands;
        EXPECT_EQ(formatResultPlain(s, r.v), r.text);
    }
}

}  // namespace
}  // namespace corvalo::clipcalc
