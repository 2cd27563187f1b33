#include "calc/calculate.h"

#include <charconv>
#include <cmath>
#include <string>

#include "platform/error.h"

namespace corvalo::calc {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

double parsed(const char* first, const char* last) {
    double v = 0.0;
    const auto [ptr, ec] = std::from_chars(first, last, v);
    (void)ptr;  // the form was checked before; a bare exponent mark ends the parse early
    return ec == std::errc() ? v : 0.0;
}

}  // namespace

double CellValue(std::string_view text, char decimal) {
    const char* p = text.data();
    const char* const end = p + text.size();
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

    if (decimal == '.') return parsed(number, numberEnd);
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
    return parsed(buf, buf + n);
}

void CalculateLine(CalcState& state, const Grid& grid) {
    const MathMode mode = state.MathMode;
    const char decimal = state.LocaleDecimalSeparator;
    double acc = mode == MathMode::Multiplication ? 1.0 : 0.0;
    const auto step = [&](std::string_view cell) {
        const double v = cell.empty() ? 0.0 : CellValue(cell, decimal);
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
    if (state.TabulationStyle == TabulationStyle::UsingColumns) {
        for (std::int32_t r = 1; r < grid.RowCount(); ++r) step(grid.Cell(state.CurrentColumn, r));
    } else {
        for (std::int32_t c = 1; c < grid.ColCount(); ++c) step(grid.Cell(c, state.CurrentRow));
    }
    state.LastResult = acc;
}

}  // namespace corvalo::calc
