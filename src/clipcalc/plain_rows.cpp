#include "clipcalc/plain_rows.h"

#include <algorithm>
#include <bit>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "clipcalc/line_cells.h"

namespace corvalo::clipcalc {

namespace {

// What the bytes of a row are, one bit per byte from the row's start.
struct RowMasks {
    std::uint64_t digit = 0, minus = 0, decimal = 0, tab = 0, cr = 0;
};

// Each classifier fills the masks of the row at p: its first bytes, and more only
// when no CR lies among them (rows of a few amounts are short).
#if defined(__x86_64__)
[[gnu::always_inline]] inline void classify16(const char* p, char decimal, unsigned shift,
                                              RowMasks& m) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto bits = [shift](__m128i eq) {
        return std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(eq))} << shift;
    };
    const auto eq = [&](char c) { return bits(_mm_cmpeq_epi8(x, _mm_set1_epi8(c))); };
    // Digits: x - '0' is at most 9 as an unsigned byte.
    const __m128i d = _mm_sub_epi8(x, _mm_set1_epi8('0'));
    m.digit |= bits(_mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d));
    m.minus |= eq('-');
    m.decimal |= eq(decimal);
    m.tab |= eq('\t');
    m.cr |= eq('\r');
}

struct Sse2Rows {
    [[gnu::always_inline]] static RowMasks classify(const char* p, char decimal) {
        RowMasks m;
        classify16(p, decimal, 0, m);
        classify16(p + 16, decimal, 16, m);
        if (m.cr == 0) {
            classify16(p + 32, decimal, 32, m);
            classify16(p + 48, decimal, 48, m);
        }
        return m;
    }
};

[[gnu::target("avx2"), gnu::always_inline]] inline std::uint64_t bits32(__m256i eq) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(eq));
}

[[gnu::target("avx2"), gnu::always_inline]] inline void classify32(const char* p, char decimal,
                                                                   unsigned shift, RowMasks& m) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i d = _mm256_sub_epi8(x, _mm256_set1_epi8('0'));
    m.digit |= bits32(_mm256_cmpeq_epi8(_mm256_min_epu8(d, _mm256_set1_epi8(9)), d)) << shift;
    m.minus |= bits32(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('-'))) << shift;
    m.decimal |= bits32(_mm256_cmpeq_epi8(x, _mm256_set1_epi8(decimal))) << shift;
    m.tab |= bits32(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('\t'))) << shift;
    m.cr |= bits32(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('\r'))) << shift;
}

struct Avx2Rows {
    [[gnu::target("avx2")]] static RowMasks classify(const char* p, char decimal) {
        RowMasks m;
        classify32(p, decimal, 0, m);
        if (m.cr == 0) classify32(p + 32, decimal, 32, m);
        return m;
    }
};
#endif

struct ScalarRows {
    static RowMasks classify(const char* p, char decimal) {
        RowMasks m;
        for (unsigned i = 0; i < kMaxPlainRow; ++i) {
            const char c = p[i];
            const std::uint64_t bit = std::uint64_t{1} << i;
            if (c >= '0' && c <= '9') m.digit |= bit;
            if (c == '-') m.minus |= bit;
            if (c == decimal) m.decimal |= bit;
            if (c == '\t') m.tab |= bit;
            if (c == '\r') m.cr |= bit;
        }
        return m;
    }
};

// The set bits of a row's few TABs, without the call that a processor without a count
// instruction makes of std::popcount.
unsigned countBits(std::uint64_t bits) {
    unsigned n = 0;
    for (; bits != 0; bits &= bits - 1) ++n;
    return n;
}

// Bits of the bytes a row's cells hold, each cell «-1234.5» with no empty one, given
// the bits below its CR: nonzero when the row is anything else.
std::uint64_t rowFaults(const RowMasks& m, std::uint64_t in, unsigned cr) {
    const std::uint64_t digit = m.digit & in;
    const std::uint64_t minus = m.minus & in;
    const std::uint64_t decimal = m.decimal & in;
    const std::uint64_t tab = m.tab & in;
    const std::uint64_t starts = (1 | (tab << 1)) & in;
    const std::uint64_t ends = (tab >> 1) | (std::uint64_t{1} << (cr - 1));
    std::uint64_t fault = in & ~(digit | minus | decimal | tab);  // a byte of no cell
    fault |= starts & ~(digit | minus);                           // an empty cell
    fault |= ends & ~digit;                                       // a cell not ending in a digit
    fault |= minus & ~starts;                                     // '-' inside a cell
    fault |= (minus << 1) & ~digit;                               // '-' alone or before '.'
    fault |= ((decimal << 1) | (decimal >> 1)) & ~digit;          // '.' without a digit aside
    // The digits after a separator run up to the cell's end, not to another separator.
    fault |= (digit + (decimal << 1)) & decimal;
    return fault;
}

// The value of the cell [start, end) of the row, the text from `first` on readable
// before it: without a branch on its characters where 16 bytes before its end are.
[[gnu::always_inline]] inline double cellValueAt(const char* first, const char* row,
                                                 unsigned start, unsigned end, char decimal) {
    const char* const p = row + start;
    const std::size_t n = end - start;
#if defined(__x86_64__)
    double m = 0.0, divisor = 1.0;
    if (p + n - first >= 16 &&
        detail::shortDecimalBeforeEnd(p, n, _mm_set1_epi8(decimal), m, divisor)) {
        return m / divisor;
    }
#else
    (void)first;
#endif
    double v = 0.0;
    return arenaCellNumber(p, n, decimal, v) ? v : 0.0;
}

bool usableDecimal(char c) {
    return !(c >= '0' && c <= '9') && c != '-' && c != '\t' && c != '\r' && c != '\n' && c != '\0';
}

// The rows stepped over with the masks of Rows::classify; each caller below inlines all
// of it, so that the processor's vector instructions reach the whole loop.
template <class Rows>
std::optional<PlainRows> stepRows(std::string_view text, char decimal, std::int32_t col,
                                  LineResult& first, LineResult* chosen) {
    // Stepped on copies: a row found to be anything else leaves the results as they were.
    LineResult firstSteps = first;
    LineResult chosenSteps = chosen != nullptr ? *chosen : first;
    PlainRows counts;
    const auto skippedTabs = static_cast<unsigned>(col - 1);
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end) {
        const RowMasks m = Rows::classify(p, decimal);
        // The first CR from p lies before the CR LF that ends the text.
        const auto cr = static_cast<unsigned>(std::countr_zero(m.cr));
        if (cr == 0 || cr + 2 > kMaxPlainRow || p[cr + 1] != '\n') return std::nullopt;
        const std::uint64_t in = (std::uint64_t{1} << cr) - 1;
        if (rowFaults(m, in, cr) != 0) return std::nullopt;

        std::uint64_t tab = m.tab & in;
        const std::uint64_t ends = tab | (std::uint64_t{1} << cr);
        const unsigned cells = countBits(tab) + 1;
        counts.cells += cells;
        ++counts.rows;
        counts.cols = std::max(counts.cols, static_cast<std::int32_t>(cells));
        const auto firstEnd = static_cast<unsigned>(std::countr_zero(ends));
        firstSteps.step(cellValueAt(text.data(), p, 0, firstEnd, decimal));
        if (chosen != nullptr) {
            double v = 0.0;
            if (skippedTabs < cells) {
                for (unsigned i = 1; i < skippedTabs; ++i) tab &= tab - 1;
                const auto start = static_cast<unsigned>(std::countr_zero(tab)) + 1;
                const auto stop = static_cast<unsigned>(std::countr_zero(ends >> start)) + start;
                v = cellValueAt(text.data(), p, start, stop, decimal);
            }
            chosenSteps.step(v);
        }
        p += cr + 2;
    }
    first = firstSteps;
    if (chosen != nullptr) *chosen = chosenSteps;
    return counts;
}

#if defined(__x86_64__)
[[gnu::flatten]] std::optional<PlainRows> stepRowsSse2(std::string_view text, char decimal,
                                                       std::int32_t col, LineResult& first,
                                                       LineResult* chosen) {
    return stepRows<Sse2Rows>(text, decimal, col, first, chosen);
}

[[gnu::target("avx2,bmi,popcnt"), gnu::flatten]] std::optional<PlainRows> stepRowsAvx2(
    std::string_view text, char decimal, std::int32_t col, LineResult& first, LineResult* chosen) {
    return stepRows<Avx2Rows>(text, decimal, col, first, chosen);
}
#endif

}  // namespace

std::optional<PlainRows> stepPlainRows(std::string_view text, char decimal, std::int32_t col,
                                       LineResult& first, LineResult* chosen,
                                       RowClassifier classifier) {
    if (text.size() < 3 || !text.ends_with("\r\n") || !usableDecimal(decimal) || col < 1) {
        return std::nullopt;
    }
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    if (classifier == RowClassifier::Fastest && avx2) {
        return stepRowsAvx2(text, decimal, col, first, chosen);
    }
    if (classifier != RowClassifier::Scalar)
        return stepRowsSse2(text, decimal, col, first, chosen);
#endif
    return stepRows<ScalarRows>(text, decimal, col, first, chosen);
}

}  // namespace corvalo::clipcalc
