#include "clipcalc/calculate.h"

#include <charconv>
#include <cmath>
#include <string>

#include "clipcalc/figures_accumulator.h"
#include "clipcalc/line_cells.h"
#include "platform/error.h"

namespace corvalo::clipcalc {

namespace {

using detail::isDigit;
using detail::kExactPow10;

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

// The conversion of a text whose form was checked; false beyond the range of a double.
bool toDouble(const char* first, const char* last, double& v) {
    const auto [ptr, ec] = std::from_chars(first, last, v);
    (void)ptr;  // a bare exponent mark ends the parse early, as it should
    return ec == std::errc();
}

}  // namespace

bool cellNumber(std::string_view text, char decimal, double& v) {
    const char* p = text.data();
    const char* const end = p + text.size();
    if (shortDecimal(p, end, decimal, v)) return true;
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
    if (p == mantissa) return false;  // neither a digit nor the separator
    if (p != end && (*p == 'E' || *p == 'e')) {
        ++p;
        if (p != end && (*p == '+' || *p == '-')) ++p;
        while (p != end && isDigit(*p)) ++p;
    }
    const char* const numberEnd = p;
    while (p != end && *p == ' ') ++p;
    if (p != end) return false;

    if (decimal == '.') return toDouble(number, numberEnd, v);
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
    return toDouble(buf, buf + n, v);
}

double cellValue(std::string_view text, char decimal) {
    double v = 0.0;
    return cellNumber(text, decimal, v) ? v : 0.0;
}

void LineResult::throwOverflow() {
    throw Error("Floating point overflow");
}

namespace {

// The steps of one mode, as LineResult::step takes them, without the check.
template <MathMode kMode>
struct Steps {
    double acc;
    void operator()(double v) {
        if constexpr (kMode == MathMode::Addition) {
            acc += v;
        } else if constexpr (kMode == MathMode::Subtraction) {
            acc = acc == 0.0 ? v : acc - v;
        } else if constexpr (kMode == MathMode::Multiplication) {
            acc *= v;
        } else if (v != 0.0) {
            acc = acc == 0.0 ? v : acc / v;
        }
    }
};

// Down a column with the accumulator in a register. A result that left the range of a
// double never comes back (infinity and NaN stay out of range through every step), so
// the one check after the column is the check after each step.
template <MathMode kMode>
bool stepColumn(const CalcState& state, const Grid& grid, double& acc) {
    Steps<kMode> steps{acc};
    const bool walked =
        forEachColumnValue(grid, state.currentColumn, state.localeDecimalSeparator, steps);
    acc = steps.acc;
    return walked;
}

}  // namespace

bool LineResult::addColumn(const CalcState& state, const Grid& grid) {
    double acc = acc_;
    bool walked = false;
    switch (mode_) {
        case MathMode::Addition:
            walked = stepColumn<MathMode::Addition>(state, grid, acc);
            break;
        case MathMode::Subtraction:
            walked = stepColumn<MathMode::Subtraction>(state, grid, acc);
            break;
        case MathMode::Multiplication:
            walked = stepColumn<MathMode::Multiplication>(state, grid, acc);
            break;
        case MathMode::Division:
            walked = stepColumn<MathMode::Division>(state, grid, acc);
            break;
    }
    if (!std::isfinite(acc)) [[unlikely]]
        throwOverflow();
    acc_ = acc;
    return walked;
}

void LineResult::add(const CalcState& state, const Grid& grid) {
    if (state.tabulationStyle == TabulationStyle::UsingColumns && addColumn(state, grid)) return;
    forEachLineCell<false>(state, grid, [&](bool, double v, std::string_view, bool) { step(v); });
}

void calculateLine(CalcState& state, const Grid& grid) {
    LineResult acc(state.mathMode);
    acc.add(state, grid);
    state.lastResult = acc.value();
}

void calculateLine(CalcState& state, const Grid& grid, LineStatistics& figures) {
    LineResult acc(state.mathMode);
    FiguresAccumulator line;
    forEachLineCell<true>(state, grid,
                          [&](bool number, double v, std::string_view text, bool textOnly) {
                              line.add(number, v, text, textOnly);
                              acc.step(v);
                          });
    state.lastResult = acc.value();
    figures = line.finish();
}

}  // namespace corvalo::clipcalc
