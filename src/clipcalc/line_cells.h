#pragma once

// Inside clipcalc only: the cells of the chosen line read as numbers, inline so that
// every walk down a million-row column reads them as cheaply as calculateLine.

#include <bit>
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

// 0x00 bytes, then 0xFF bytes: the 16 bytes from kLanes + 16 - k are 0xFF from lane k.
alignas(32) inline constexpr unsigned char kLanes[32] = {
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

[[gnu::always_inline]] inline __m128i lanesFrom(std::size_t k) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(kLanes + 16 - k));
}

// The digit values in the 16 byte lanes of v, paired into 2, 4 and 8 digits: the
// values of lanes 0-7 and of lanes 8-15 in the 32-bit lanes 0 and 1.
[[gnu::always_inline]] inline __m128i eightDigitHalves(__m128i v) {
    v = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(v, _mm_set1_epi16(0xFF)), _mm_set1_epi16(10)),
                      _mm_srli_epi16(v, 8));
    v = _mm_madd_epi16(v, _mm_set1_epi32(0x00010064));                      // 100, 1
    v = _mm_madd_epi16(_mm_packs_epi32(v, v), _mm_set1_epi32(0x00012710));  // 10000, 1
    return v;
}

// paddedShortDecimal for a text with 16 readable bytes before its end instead of after
// it, as m / divisor with m signed and correctly rounded (exact up to 15 digits; 16
// digits take no separator, so m is the value). The 16 bytes up to the end put the
// last digit in lane 15 with every digit at its place value; the digits before the
// separator move up one lane over it, all in vector registers without a branch.
[[gnu::always_inline]] inline bool shortDecimalBeforeEnd(const char* p, std::size_t n,
                                                         __m128i decimal, double& m,
                                                         double& divisor) {
    const bool negative = n != 0 && *p == '-';
    const std::size_t len = n - negative;
    if (len - 1 >= 16) return false;  // empty, or longer than 16
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 16));
    const __m128i inside = lanesFrom(16 - len);
    const __m128i d = _mm_and_si128(_mm_sub_epi8(x, _mm_set1_epi8('0')), inside);
    const __m128i isDot = _mm_and_si128(_mm_cmpeq_epi8(x, decimal), inside);
    // Zeros outside the text count as digits; anything else must be one separator.
    const auto digits = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d)));
    const auto dots = static_cast<unsigned>(_mm_movemask_epi8(isDot));
    const unsigned hasDot = dots != 0;
    // One separator at most, and a digit at least: «.» alone is no short decimal.
    if (((~digits & 0xFFFF & ~dots) | (dots & (dots - 1)) | (hasDot & (len == 1))) != 0) {
        return false;
    }
    const auto dotEnd = static_cast<std::size_t>(std::bit_width(dots));  // 0 without one
    const __m128i afterDot = lanesFrom(dotEnd);
    __m128i v =
        _mm_or_si128(_mm_andnot_si128(afterDot, _mm_slli_si128(d, 1)), _mm_and_si128(afterDot, d));
    // h and l from lanes 0-7 and 8-15, below 10^8. h * 10^8 is exact (h * 5^8 < 2^53),
    // so h * 10^8 + l rounds once, and not at all below 2^53.
    v = eightDigitHalves(v);
    const __m128d halves = _mm_mul_pd(_mm_cvtepi32_pd(v), _mm_setr_pd(1e8, 1.0));
    const __m128d sign =
        _mm_castsi128_pd(_mm_cvtsi64_si128(static_cast<std::int64_t>(negative) << 63));
    // The sign as a bit keeps «-0» negative.
    m = _mm_cvtsd_f64(_mm_or_pd(_mm_add_sd(halves, _mm_unpackhi_pd(halves, halves)), sign));
    divisor = kExactPow10[hasDot ? 16 - dotEnd : 0];
    return true;
}

// Two texts of at most 8 characters besides a sign, each with 8 readable bytes before
// its end, read as shortDecimalBeforeEnd reads one, in the two halves of the registers:
// at most 8 digits each, so m is exact. A sign is looked for even in an empty text.
[[gnu::always_inline]] inline bool shortDecimalPair(const char* const p[2], const std::size_t n[2],
                                                    __m128i decimal, double* m, double* divisor) {
    const bool negative0 = *p[0] == '-', negative1 = *p[1] == '-';
    const std::size_t len0 = n[0] - negative0, len1 = n[1] - negative1;
    if (((len0 - 1) | (len1 - 1)) >= 8) return false;  // empty, or longer than 8
    const auto half = [](const void* at) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at));
    };
    const __m128i x = _mm_unpacklo_epi64(half(p[0] + n[0] - 8), half(p[1] + n[1] - 8));
    const __m128i inside = _mm_unpacklo_epi64(half(kLanes + 8 + len0), half(kLanes + 8 + len1));
    const __m128i d = _mm_and_si128(_mm_sub_epi8(x, _mm_set1_epi8('0')), inside);
    const __m128i isDot = _mm_and_si128(_mm_cmpeq_epi8(x, decimal), inside);
    const auto digits = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d)));
    const auto dots = static_cast<unsigned>(_mm_movemask_epi8(isDot));
    const unsigned dots0 = dots & 0xFF, dots1 = dots >> 8;
    if (((~digits & 0xFFFF & ~dots) | (dots0 & (dots0 - 1)) | (dots1 & (dots1 - 1)) |
         ((dots0 != 0) & (len0 == 1)) | ((dots1 != 0) & (len1 == 1))) != 0) {
        return false;
    }
    const auto dotEnd0 = static_cast<std::size_t>(std::bit_width(dots0));
    const auto dotEnd1 = static_cast<std::size_t>(std::bit_width(dots1));
    const __m128i afterDot =
        _mm_unpacklo_epi64(half(kLanes + 16 - dotEnd0), half(kLanes + 16 - dotEnd1));
    __m128i v =
        _mm_or_si128(_mm_andnot_si128(afterDot, _mm_slli_epi64(d, 8)), _mm_and_si128(afterDot, d));
    v = eightDigitHalves(v);
    const __m128i sign = _mm_set_epi64x(static_cast<std::int64_t>(negative1) << 63,
                                        static_cast<std::int64_t>(negative0) << 63);
    _mm_storeu_pd(m, _mm_or_pd(_mm_cvtepi32_pd(v), _mm_castsi128_pd(sign)));
    divisor[0] = kExactPow10[dots0 != 0 ? 8 - dotEnd0 : 0];
    divisor[1] = kExactPow10[dots1 != 0 ? 8 - dotEnd1 : 0];
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

// Calls f(value) for the cells (col, 1) to (col, rowCount - 1) in order, each value as
// cellNumber reads it (0 when it is none). Returns false, calling nothing, where
// walkColumn does. The cells are found a block at a time and read in a loop that also
// hands over the values of the block before: f's steps, one chain of dependent
// operations, run alongside the reading instead of after it.
template <class F>
bool forEachColumnValue(const Grid& grid, std::int32_t col, char decimal, F& f) {
    constexpr std::size_t kBlock = 256;
    const char* text[kBlock];
    std::size_t length[kBlock];
    double m[2][kBlock];        // the digits as an integer, with the sign ...
    double divisor[2][kBlock];  // ... and the power of ten to divide by
    std::size_t k = 0;          // cells found in this block
    std::size_t before = 0;     // values of the block before, not yet handed over
    unsigned side = 0;          // which m and divisor the block reads into
#if defined(__x86_64__)
    const __m128i separator = _mm_set1_epi8(decimal);
#endif
    const char* const arena = grid.arenaBegin();
    const auto read = [&] {
        double* const mNow = m[side];
        double* const divisorNow = divisor[side];
        const double* const mBefore = m[side ^ 1];
        const double* const divisorBefore = divisor[side ^ 1];
        [[maybe_unused]] const char* const start = arena;
        const std::size_t count = k, ready = before;
        F step = f;  // a copy of its own: its state stays in registers through the loop
        const auto readOne = [&](std::size_t i) {
            const char* const p = text[i];
            const std::size_t n = length[i];
            double digits = 0.0;
            double scale = 1.0;  // m / 1 is m, bit for bit
#if defined(__x86_64__)
            if (static_cast<std::size_t>(p + n - start) < 16 ||
                !detail::shortDecimalBeforeEnd(p, n, separator, digits, scale)) [[unlikely]] {
                double v = 0.0;
                digits = arenaCellNumber(p, n, decimal, v) ? v : 0.0;
                scale = 1.0;
            }
#else
            double v = 0.0;
            digits = arenaCellNumber(p, n, decimal, v) ? v : 0.0;
#endif
            mNow[i] = digits;
            divisorNow[i] = scale;
        };
        std::size_t i = 0;
#if defined(__x86_64__)
        for (; i + 1 < count; i += 2) {
            // Two short texts at once, each with 8 bytes of the arena before its end.
            if (static_cast<std::size_t>(text[i] + length[i] - start) < 8 ||
                static_cast<std::size_t>(text[i + 1] + length[i + 1] - start) < 8 ||
                !detail::shortDecimalPair(text + i, length + i, separator, mNow + i,
                                          divisorNow + i)) {
                readOne(i);
                readOne(i + 1);
            }
            if (i + 1 < ready) {
                step(mBefore[i] / divisorBefore[i]);
                step(mBefore[i + 1] / divisorBefore[i + 1]);
            } else if (i < ready) {
                step(mBefore[i] / divisorBefore[i]);
            }
        }
#endif
        for (; i < count; ++i) {
            readOne(i);
            if (i < ready) step(mBefore[i] / divisorBefore[i]);
        }
        for (i = count; i < ready; ++i) step(mBefore[i] / divisorBefore[i]);
        f = step;
        before = count;
        side ^= 1;
        k = 0;
    };
    const bool walked = grid.walkColumn(col, [&](const char* p, std::size_t n) {
        text[k] = p;
        length[k] = n;
        if (++k == kBlock) read();
    });
    read();
    read();  // the last block's values
    return walked;
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
