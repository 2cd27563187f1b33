#include "clipcalc/calculate.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "platform/error.h"

namespace corvalo::clipcalc {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Powers of ten that a double holds exactly.
constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// «-1234.5» and the like, at most 15 digits and no exponent: the digits as an
// integer and a power of ten are both exact, so one division rounds correctly.
// Returns false for any other text.
bool shortDecimal(const char* p, const char* end, char decimal, double& v) {
    const bool negative = p != end && *p == '-';
    if (negative) ++p;
    const char* const first = p;
    std::uint64_t m = 0;
    for (; p != end && isDigit(*p); ++p) m = m * 10 + static_cast<unsigned>(*p - '0');
    std::size_t digits = static_cast<std::size_t>(p - first);
    std::size_t fraction = 0;
    if (p != end && *p == decimal) {
        const char* const dot = ++p;
        for (; p != end && isDigit(*p); ++p) m = m * 10 + static_cast<unsigned>(*p - '0');
        fraction = static_cast<std::size_t>(p - dot);
        digits += fraction;
    }
    if (p != end || digits == 0 || digits > 15) return false;
    v = static_cast<double>(m);
    if (fraction != 0) v /= kExactPow10[fraction];
    if (negative) v = -v;
    return true;
}

double toDouble(const char* first, const char* last) {
    double v = 0.0;
    const auto [ptr, ec] = std::from_chars(first, last, v);
    (void)ptr;  // the form was checked before; a bare exponent mark ends the parse early
    return ec == std::errc() ? v : 0.0;
}

}  // namespace

double cellValue(std::string_view text, char decimal) {
    const char* p = text.data();
    const char* const end = p + text.size();
    if (double v = 0.0; shortDecimal(p, end, decimal, v)) return v;
    while (p != end && *p == ' ') ++p;
    const char* number = p;  // where the conversion starts: from_chars takes '-' but not '+'
    if (p != end && (*p == '+' || *p == '-')) {
        if (*p == '+') number = p + 1;
        ++p;
    }
    const char* const mantissa = p;
    while (p != end && isDigit(*p)) ++p;
    if (p != end && *p == decimal) {
        ++p;
        while (p != end && isDigit(*p)) ++p;
    }
    if (p == mantissa) return 0.0;  // neither a digit nor the separator
    if (p != end && (*p == 'E' || *p == 'e')) {
        ++p;
        if (p != end && (*p == '+' || *p == '-')) ++p;
        while (p != end && isDigit(*p)) ++p;
    }
    const char* const numberEnd = p;
    while (p != end && *p == ' ') ++p;
    if (p != end) return 0.0;

    if (decimal == '.') return toDouble(number, numberEnd);
    // from_chars reads '.' only: copy with the separator replaced.
    char small[64];
    std::string large;
    const auto n = static_cast<std::size_t>(numberEnd - number);
    char* buf = small;
    if (n > sizeof small) {
        large.resize(n);
        buf = large.data();
    }
    for (std::size_t i = 0; i < n; ++i) buf[i] = number[i] == decimal ? '.' : number[i];
    return toDouble(buf, buf + n);
}

void calculateLine(CalcState& state, const Grid& grid) {
    const MathMode mode = state.mathMode;
    const char decimal = state.localeDecimalSeparator;
    double acc = mode == MathMode::Multiplication ? 1.0 : 0.0;
    const auto step = [&](std::string_view cell) {
        const double v = cell.empty() ? 0.0 : cellValue(cell, decimal);
        switch (mode) {
            case MathMode::Addition:
                acc += v;
                break;
            case MathMode::Subtraction:
                acc = acc == 0.0 ? v : acc - v;
                break;
            case MathMode::Multiplication:
                acc *= v;
                break;
            case MathMode::Division:
                if (v == 0.0) return;
                acc = acc == 0.0 ? v : acc / v;
                break;
        }
        if (!std::isfinite(acc)) throw Error("Floating point overflow");
    };
    if (state.tabulationStyle == TabulationStyle::UsingColumns) {
        for (std::int32_t r = 1; r < grid.rowCount(); ++r) step(grid.cell(state.currentColumn, r));
    } else {
        for (std::int32_t c = 1; c < grid.colCount(); ++c) step(grid.cell(c, state.currentRow));
    }
    state.lastResult = acc;
}

}  // namespace corvalo::clipcalc
