#include "deskcalc/number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "platform/error.h"

namespace corvalo::deskcalc {

namespace {

[[noreturn]] void notANumber(std::string_view text) {
    throw Error("'" + std::string(text) + "' is not a valid floating point value");
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string formatNumber(long double value, std::int32_t decimals, char decimalSeparator) {
    if (!std::isfinite(value)) throw Error("Invalid floating point operation");
    if (value == 0) value = 0;  // no "-0.00" on the display
    const std::int64_t places =
        std::min<std::int64_t>(decimals < 0 ? -std::int64_t{decimals} : decimals, INT32_MAX);
    // Fixed form of the largest extended value has 4933 integer digits.
    std::string out(static_cast<std::size_t>(4960 + places), '\0');
    char* const first = out.data();
    char* const last = first + out.size();
    const auto res = decimals == 0
                         ? std::to_chars(first, last, value, std::chars_format::general, 15)
                         : std::to_chars(first, last, value, std::chars_format::fixed,
                                         static_cast<int>(places));
    if (res.ec != std::errc()) throw Error("Invalid floating point operation");
    out.resize(static_cast<std::size_t>(res.ptr - first));
    for (char& c : out) {
        if (c == '.') c = decimalSeparator;
    }
    return out;
}

long double readNumber(std::string_view text, char decimalSeparator) {
    std::string plain;  // the text in the form from_chars reads: '.' and no '+'
    plain.reserve(text.size());
    std::size_t i = 0;
    const std::size_t n = text.size();
    const auto blank = [&](std::size_t k) { return k < n && text[k] == ' '; };
    while (blank(i)) ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    std::size_t digits = 0;
    while (i < n && isDigit(text[i])) {
        plain += text[i++];
        ++digits;
    }
    if (i < n && text[i] == decimalSeparator) {
        plain += '.';
        ++i;
        while (i < n && isDigit(text[i])) {
            plain += text[i++];
            ++digits;
        }
    }
    if (digits == 0) notANumber(text);
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) plain += text[i++];
        std::size_t expDigits = 0;
        while (i < n && isDigit(text[i])) {
            plain += text[i++];
            ++expDigits;
        }
        if (expDigits == 0) notANumber(text);
    }
    while (blank(i)) ++i;
    if (i != n) notANumber(text);

    long double value = 0;
    const auto res = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (res.ec != std::errc() || res.ptr != plain.data() + plain.size() || !std::isfinite(value)) {
        notANumber(text);
    }
    return value;
}

}  // namespace corvalo::deskcalc
