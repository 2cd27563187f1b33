#pragma once

// Inside clipcalc only: the cells of the chosen line read as numbers, inline so that
// every walk down a million-row column reads them as cheaply as calculateLine.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "clipcalc/calc_state.h"
#include "clipcalc/calculate.h"
#include "clipcalc/grid.h"

namespace corvalo::clipcalc {

namespace detail {

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Powers of ten that a double holds exactly.
inline constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

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

// «-1234.5» and the like, at most 15 digits and no exponent, for a cell with 16
// readable bytes after its text, without a loop over its characters: the digits as an
// integer and a power of ten are both exact, so one division rounds correctly.
inline bool paddedShortDecimal(const char* p, std::size_t n, char decimal, double& v) {
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

}  // namespace detail

// cellNumber of a cell text that Grid::kReadAhead readable bytes follow, as
// Grid::walkColumn hands them over: short numbers are read without a loop.
inline bool arenaCellNumber(const char* p, std::size_t n, char decimal, double& v) {
#if defined(__x86_64__)
    if (n != 0 && detail::paddedShortDecimal(p, n, decimal, v)) return true;
#endif
    return n != 0 && cellNumber({p, n}, decimal, v);
}

// Calls f(number, v, text, textOnly) for the cells of the chosen line in order: whether
// the text is a number, its value (0 when it is none), the text and the cell's textOnly
// bit, which is read only when kWithTextOnly (false otherwise). A column goes down the
// arena in memory order where it can.
template <bool kWithTextOnly, class F>
void forEachLineCell(const CalcState& state, const Grid& grid, F&& f) {
    const char decimal = state.localeDecimalSeparator;
    const auto fromArena = [&](const char* p, std::size_t n, bool textOnly) {
        double v = 0.0;
        const bool number = arenaCellNumber(p, n, decimal, v);
        f(number, number ? v : 0.0, std::string_view(p, n), textOnly);
    };
    const auto fromCell = [&](std::int32_t col, std::int32_t row) {
        const std::string_view text = grid.cell(col, row);
        double v = 0.0;
        const bool number = cellNumber(text, decimal, v);
        f(number, number ? v : 0.0, text, kWithTextOnly && grid.textOnly(col, row));
    };
    if (state.tabulationStyle == TabulationStyle::UsingRows) {
        for (std::int32_t c = 1; c < grid.colCount(); ++c) fromCell(c, state.currentRow);
        return;
    }
    const std::int32_t col = state.currentColumn;
    bool walked = false;
    if constexpr (kWithTextOnly) {
        walked = grid.walkColumn(col, fromArena);
    } else {
        walked =
            grid.walkColumn(col, [&](const char* p, std::size_t n) { fromArena(p, n, false); });
    }
    if (!walked) {
        for (std::int32_t r = 1; r < grid.rowCount(); ++r) fromCell(col, r);
    }
}

}  // namespace corvalo::clipcalc
