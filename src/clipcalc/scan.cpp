#include "clipcalc/scan.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace corvalo::clipcalc {

BlockMasks classifyBlockScalar(const char* block, char decimal) {
    BlockMasks m;
    for (unsigned i = 0; i < 64; ++i) {
        const char c = block[i];
        const std::uint64_t bit = std::uint64_t{1} << i;
        if (c == '\t' || c == '\n' || c == '\r' || c == '\0') {
            m.separator |= bit;
        } else if (c == '-') {
            m.minus |= bit;
        } else if (c == decimal) {
            m.decimal |= bit;
        } else if (c < '0' || c > '9') {
            m.other |= bit;
        }
    }
    // A decimal separator that is also a text separator or '-' is read as the
    // latter; the load never uses such a locale, but the masks stay exact.
    m.decimal &= ~(m.separator | m.minus);
    return m;
}

#if defined(__x86_64__)

namespace {

// The byte masks of 16 bytes: separator, minus, decimal, digit.
struct Lane16 {
    unsigned separator, minus, decimal, digit;
};

Lane16 classify16(const char* p, char decimal) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto eq = [&x](char c) {
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8(c))));
    };
    // Digits: x - '0' is at most 9 as an unsigned byte.
    const __m128i d = _mm_sub_epi8(x, _mm_set1_epi8('0'));
    const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d);
    return {eq('\t') | eq('\n') | eq('\r') | eq('\0'), eq('-'), eq(decimal),
            static_cast<unsigned>(_mm_movemask_epi8(digit))};
}

BlockMasks finish(std::uint64_t separator, std::uint64_t minus, std::uint64_t decimal,
                  std::uint64_t digit) {
    BlockMasks m;
    m.separator = separator;
    m.minus = minus & ~separator;
    m.decimal = decimal & ~(separator | minus);
    m.other = ~(separator | minus | decimal | digit);
    return m;
}

}  // namespace

BlockMasks classifyBlockSse2(const char* block, char decimal) {
    std::uint64_t s = 0, mi = 0, de = 0, di = 0;
    for (unsigned k = 0; k < 4; ++k) {
        const Lane16 l = classify16(block + 16 * k, decimal);
        s |= std::uint64_t{l.separator} << (16 * k);
        mi |= std::uint64_t{l.minus} << (16 * k);
        de |= std::uint64_t{l.decimal} << (16 * k);
        di |= std::uint64_t{l.digit} << (16 * k);
    }
    return finish(s, mi, de, di);
}

namespace {

struct Lane32 {
    std::uint64_t separator, minus, decimal, digit;
};

[[gnu::target("avx2")]] std::uint64_t equal32(__m256i x, char c) {
    return static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(x, _mm256_set1_epi8(c))));
}

[[gnu::target("avx2")]] Lane32 classify32(const char* p, char decimal) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i d = _mm256_sub_epi8(x, _mm256_set1_epi8('0'));
    const __m256i digit = _mm256_cmpeq_epi8(_mm256_min_epu8(d, _mm256_set1_epi8(9)), d);
    return {equal32(x, '\t') | equal32(x, '\n') | equal32(x, '\r') | equal32(x, '\0'),
            equal32(x, '-'), equal32(x, decimal),
            static_cast<std::uint32_t>(_mm256_movemask_epi8(digit))};
}

}  // namespace

[[gnu::target("avx2")]] BlockMasks classifyBlockAvx2(const char* block, char decimal) {
    const Lane32 lo = classify32(block, decimal);
    const Lane32 hi = classify32(block + 32, decimal);
    return finish(lo.separator | hi.separator << 32, lo.minus | hi.minus << 32,
                  lo.decimal | hi.decimal << 32, lo.digit | hi.digit << 32);
}

bool hasAvx2() {
    return __builtin_cpu_supports("avx2") != 0;
}

#endif

BlockClassifier bestBlockClassifier() {
#if defined(__x86_64__)
    static const BlockClassifier best = hasAvx2() ? classifyBlockAvx2 : classifyBlockSse2;
    return best;
#else
    return classifyBlockScalar;
#endif
}

}  // namespace corvalo::clipcalc
