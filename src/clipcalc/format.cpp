#include "clipcalc/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "clipcalc/calculate.h"

namespace corvalo::clipcalc {

namespace {

constexpr int kDigits = 18;

// |v| as 18 significant digits d[0..17] and the decimal exponent of d[0].
int eighteenDigits(double magnitude, char (&d)[kDigits]) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                                   kDigits - 1);
    // "d.ddddddddddddddddde+XX"
    int k = 0;
    const char* p = buf;
    for (; p != res.ptr && *p != 'e'; ++p) {
        if (*p != '.') d[k++] = *p;
    }
    int exponent = 0;
    std::from_chars(p + (*(p + 1) == '+' ? 2 : 1), res.ptr, exponent);
    return exponent;
}

// Raises the last digit of `digits` by one, carrying leftwards; returns true when
// the carry runs out of the leftmost digit (all nines became zeros).
bool raiseLastDigit(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

// formatResult, with the integer digits grouped or not.
std::string format(double v, std::int32_t decimals, char decimal, char thousands, bool grouped) {
    if (!std::isfinite(v)) v = 0.0;  // no calculation leaves one; never show "inf"
    if (decimals < 0) decimals = 0;
    if (decimals > kMaxShownDecimals) decimals = kMaxShownDecimals;
    const int places = decimals <= 18 ? decimals : 2;

    std::string integer;   // integer digits
    std::string fraction;  // fraction digits
    std::string exponentPart;
    const double magnitude = std::fabs(v);
    char d[kDigits];
    std::fill(std::begin(d), std::end(d), '0');
    int e = magnitude == 0.0 ? 0 : eighteenDigits(magnitude, d);

    if (e >= kDigits) {
        // Scientific: the mantissa d.ddd rounded at `places` decimals, halves away
        // from zero; a carry out of the first digit raises the exponent.
        // 1.999999e20, 2 decimals -> "2.00E20"; 9.9999e20, 2 -> "1.00E21".
        const int kept = std::min(places + 1, kDigits);
        std::string digits(d, d + kept);
        if (kept < kDigits && d[kept] >= '5' && raiseLastDigit(digits)) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++e;
        }
        integer.assign(1, digits[0]);
        fraction = digits.substr(1);
        char buf[8] = {'E'};
        const auto res = std::to_chars(buf + 1, buf + sizeof buf, e);
        exponentPart.assign(buf, res.ptr);
    } else {
        // Plain: the digits placed around the decimal point, rounded at `places`
        // with halves going up.
        std::string digits;  // integer digits followed by `places` fraction digits
        const int intLen = e >= 0 ? e + 1 : 1;
        digits.reserve(static_cast<std::size_t>(intLen + places + 1));
        // The digit of place 10^pos, zeros beyond the 18 significant ones.
        const auto digitAt = [&](int pos) -> char {
            const int index = e - pos;
            return index >= 0 && index < kDigits ? d[index] : '0';
        };
        for (int pos = intLen - 1; pos >= -places; --pos) digits.push_back(digitAt(pos));
        if (digitAt(-places - 1) >= '5' && raiseLastDigit(digits)) {
            digits.insert(digits.begin(), '1');
        }
        const std::size_t intDigits = digits.size() - static_cast<std::size_t>(places);
        integer = digits.substr(0, intDigits);
        fraction = digits.substr(intDigits);
    }

    std::string out;
    out.reserve(integer.size() * 4 / 3 + static_cast<std::size_t>(decimals) + 8);
    if (v < 0) out.push_back('-');
    for (std::size_t i = 0; i < integer.size(); ++i) {
        if (grouped && i != 0 && (integer.size() - i) % 3 == 0) {
            out.push_back(thousands);
        }
        out.push_back(integer[i]);
    }
    if (decimals > 0) {
        out.push_back(decimal);
        fraction.resize(static_cast<std::size_t>(decimals), '0');
        out += fraction;
    }
    out += exponentPart;
    return out;
}

}  // namespace

std::string formatResult(double v, std::int32_t decimals, char decimal, char thousands) {
    return format(v, decimals, decimal, thousands, true);
}

std::string formatResultPlain(double v, std::int32_t decimals, char decimal) {
    return format(v, decimals, decimal, ',', false);
}

std::string formatResultPlain(const CalcState& state, double v) {
    return formatResultPlain(v, state.resultDecimals(), state.localeDecimalSeparator);
}

std::string formatResult(const CalcState& state, double v) {
    return formatResult(v, state.resultDecimals(), state.localeDecimalSeparator,
                        state.localeThousandSeparator);
}

void showResult(const CalcState& state, ResultDisplay& display) {
    display.setDisplayCaption(formatResult(state, state.lastResult) + " ");
}

void recalculate(CalcState& state, const Grid& grid, ResultDisplay& display) {
    calculateLine(state, grid);
    showResult(state, display);
}

std::string localiseDecimalCaption(std::string_view caption, char decimal) {
    std::string s(caption);
    if (const auto dot = s.find('.'); dot != std::string::npos) s[dot] = decimal;
    return s;
}

}  // namespace corvalo::clipcalc
