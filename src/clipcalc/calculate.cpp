#include "clipcalc/calculate.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

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

#if defined(__x86_64__)
// The value of the k <= 8 digits at p (eight bytes readable), eight at once: the
// digits moved to the top of the word behind zero bytes, then paired up.
[[gnu::always_inline]] inline std::uint64_t eightDigits(const char* p, unsigned k) {
    if (k == 0) return 0;
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    x = (x << (8 * (8 - k))) & 0x0F0F0F0F0F0F0F0F;
    x = (x * 2561) >> 8;
    x = ((x & 0x00FF00FF00FF00FF) * 6553601) >> 16;
    return ((x & 0x0000FFFF0000FFFF) * 42949672960001) >> 32;
}

// The value of the k <= 16 digits at p (sixteen bytes readable).
[[gnu::always_inline]] inline std::uint64_t digitsValue(const char* p, unsigned k) {
    if (k <= 8) return eightDigits(p, k);
    return eightDigits(p, k - 8) * 100000000 + eightDigits(p + k - 8, 8);
}

// shortDecimal for a cell with 16 readable bytes after its text, without a loop
// over its characters.
bool paddedShortDecimal(const char* p, std::size_t n, char decimal, double& v) {
    const bool negative = n != 0 && *p == '-';
    p += negative;
    n -= negative;
    if (n == 0 || n > 16) return false;
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i d = _mm_sub_epi8(x, _mm_set1_epi8('0'));
    const auto digits = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d)));
    const unsigned inside = (1u << n) - 1;
    const unsigned other = ~digits & inside;
    const auto len = static_cast<unsigned>(n);
    std::uint64_t m;
    unsigned fraction = 0;
    if (other == 0) {
        if (len > 15) return false;
        m = digitsValue(p, len);
    } else {
        const auto dot = static_cast<unsigned>(__builtin_ctz(other));
        // One separator, and a digit at least: «.» alone is no short decimal.
        if ((other & (other - 1)) != 0 || p[dot] != decimal || len == 1) return false;
        fraction = len - dot - 1;
        m = digitsValue(p, dot) * static_cast<std::uint64_t>(kExactPow10[fraction]) +
            digitsValue(p + dot + 1, fraction);
    }
    v = static_cast<double>(m);
    if (fraction != 0) v /= kExactPow10[fraction];
    if (negative) v = -v;
    return true;
}
#endif

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

bool arenaCellNumber(const char* p, std::size_t n, char decimal, double& v) {
#if defined(__x86_64__)
    if (n != 0 && paddedShortDecimal(p, n, decimal, v)) return true;
#endif
    return n != 0 && cellNumber({p, n}, decimal, v);
}

void calculateLine(CalcState& state, const Grid& grid) {
    const MathMode mode = state.mathMode;
    const char decimal = state.localeDecimalSeparator;
    double acc = mode == MathMode::Multiplication ? 1.0 : 0.0;
    const auto step = [&](double v) {
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
        // Down the arena in memory order where it can be.
        const bool walked =
            grid.walkColumn(state.currentColumn, [&](const char* p, std::size_t n) {
                double v = 0.0;
                step(arenaCellNumber(p, n, decimal, v) ? v : 0.0);
            });
        if (walked) {
            state.lastResult = acc;
            return;
        }
        for (std::int32_t r = 1; r < grid.rowCount(); ++r) {
            step(cellValue(grid.cell(state.currentColumn, r), decimal));
        }
    } else {
        for (std::int32_t c = 1; c < grid.colCount(); ++c) {
            step(cellValue(grid.cell(c, state.currentRow), decimal));
        }
    }
    state.lastResult = acc;
}

}  // namespace corvalo::clipcalc
