#include "deskcalc/number.h"

#include <gtest/gtest.h>

#include <ostream>

#include "row_name.h"

#include <limits>

#include "platform/error.h"

namespace corvalo::deskcalc {
namespace {

struct FormatRow {
    const char* name;
    long double value;
    int decimals;
    char separator;
    const char* text;
};
void PrintTo(const FormatRow& row, std::ostream* os) {
    *os << row.name;
}

class FormatNumber : public ::testing::TestWithParam<FormatRow> {};

TEST_P(FormatNumber, Text) {
    const FormatRow& r = GetParam();
    EXPECT_EQ(formatNumber(r.value, r.decimals, r.separator), r.text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FormatNumber,
    ::testing::Values(FormatRow{"GeneralDropsZeros", 3.5L, 0, '.', "3.5"},
                      FormatRow{"GeneralInteger", 220, 0, '.', "220"},
                      FormatRow{"GeneralFifteenDigits", 1 / 3.0L, 0, '.', "0.333333333333333"},
                      FormatRow{"GeneralExponentLarge", 1e20L, 0, '.', "1e+20"},
                      FormatRow{"GeneralExponentSmall", 0.00001L, 0, '.', "1e-05"},
                      FormatRow{"FixedRounds", 2.376L, 2, '.', "2.38"},
                      FormatRow{"FixedPads", 7, 2, '.', "7.00"},
                      FormatRow{"NegativeDecimalsLikePositive", 1.5L, -2, '.', "1.50"},
                      FormatRow{"CommaSeparator", 3.5L, 1, ',', "3,5"},
                      FormatRow{"NoNegativeZero", -0.0L, 2, '.', "0.00"},
                      FormatRow{"Negative", -12.25L, 0, '.', "-12.25"}),
    testing::RowName());

TEST(FormatNumber, NotFiniteIsAnError) {
    EXPECT_THROW(formatNumber(std::numeric_limits<long double>::infinity(), 0, '.'), Error);
}

struct ReadRow {
    const char* name;
    const char* text;
    char separator;
    bool ok;
    long double value;
};
void PrintTo(const ReadRow& row, std::ostream* os) {
    *os << row.name;
}

class ReadNumber : public ::testing::TestWithParam<ReadRow> {};

TEST_P(ReadNumber, ValueOrError) {
    const ReadRow& r = GetParam();
    if (r.ok) {
        EXPECT_EQ(readNumber(r.text, r.separator), r.value);
    } else {
        EXPECT_THROW(readNumber(r.text, r.separator), Error);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ReadNumber,
                         ::testing::Values(ReadRow{"Integer", "123", '.', true, 123},
                                           ReadRow{"TrailingSeparator", "5.", '.', true, 5},
                                           ReadRow{"Negative", "-0.25", '.', true, -0.25L},
                                           ReadRow{"PlusSign", "+2", '.', true, 2},
                                           ReadRow{"Exponent", "1e+20", '.', true, 1e20L},
                                           ReadRow{"LeadingBlanks", "   8", '.', true, 8},
                                           ReadRow{"CommaSeparator", "1,5", ',', true, 1.5L},
                                           ReadRow{"FullStopWithCommaLocale", "1.5", ',', false,
                                                   0},
                                           ReadRow{"LoneMinus", "-", '.', false, 0},
                                           ReadRow{"Empty", "", '.', false, 0},
                                           ReadRow{"LoneSeparator", ".", '.', false, 0},
                                           ReadRow{"ExponentWithoutDigits", "1e+", '.', false, 0},
                                           ReadRow{"Infinity", "inf", '.', false, 0},
                                           ReadRow{"Hex", "0x10", '.', false, 0},
                                           ReadRow{"Separator", "____", '.', false, 0},
                                           ReadRow{"OutOfRange", "1e5000", '.', false, 0}),
                         testing::RowName());

}  // namespace
}  // namespace corvalo::deskcalc
