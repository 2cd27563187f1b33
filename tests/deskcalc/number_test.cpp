#include "deskcalc/number.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <tuple>

#include "platform/error.h"

namespace corvalo::deskcalc {
namespace {

TEST(FormatNumber, GeneralOrFixedWithTheLocaleSeparator) {
    const std::tuple<long double, int, char, const char*> rows[] = {
        {3.5L, 0, '.', "3.5"},    {1 / 3.0L, 0, '.', "0.333333333333333"},
        {1e20L, 0, '.', "1e+20"}, {0.00001L, 0, '.', "1e-05"},
        {2.376L, 2, '.', "2.38"}, {1.5L, -2, '.', "1.50"},
        {3.5L, 1, ',', "3,5"},    {-0.0L, 2, '.', "0.00"},
    };
    for (const auto& [value, decimals, separator, text] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(formatNumber(value, decimals, separator), text);
    }
    EXPECT_THROW(formatNumber(std::numeric_limits<long double>::infinity(), 0, '.'), Error);
}

TEST(ReadNumber, ValueOrError) {
    // The text, the locale's separator and the value, or nothing for an error.
    const std::tuple<const char*, char, std::optional<long double>> rows[] = {
        {"5.", '.', 5},    {"-0.25", '.', -0.25L}, {"+2", '.', 2},      {"1e+20", '.', 1e20L},
        {"   8", '.', 8},  {"1,5", ',', 1.5L},     {"1.5", ',', {}},    {"-", '.', {}},
        {"", '.', {}},     {".", '.', {}},         {"1e+", '.', {}},    {"inf", '.', {}},
        {"0x10", '.', {}}, {"____", '.', {}},      {"1e5000", '.', {}},
    };
    for (const auto& [text, separator, value] : rows) {
        SCOPED_TRACE(std::string("\"") + text + "\"");
        if (value) {
            EXPECT_EQ(readNumber(text, separator), *value);
        } else {
            EXPECT_THROW(readNumber(text, separator), Error);
        }
    }
}

}  // namespace
}  // namespace corvalo::deskcalc
