#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvalo::deskcalc {

// The display form of a calculator value, with the locale's decimal separator and no
// grouping. decimals 0: general form, up to 15 significant digits (2.5 -> "2.5",
// 1e20 -> "1e+20"); positive or negative n: exactly |n| decimals (2.5, 2 -> "2.50").
// A value that is not finite throws corvalo::Error.
std::string formatNumber(long double value, std::int32_t decimals, char decimalSeparator);

// The locale's text-to-number conversion: optional blanks, sign, digits with one
// decimal separator, optional exponent ("-1,5E3" with ','). Throws corvalo::Error
// ("'x' is not a valid floating point value") for anything else or a value out of range.
long double readNumber(std::string_view text, char decimalSeparator);

}  // namespace corvalo::deskcalc
