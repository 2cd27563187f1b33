#pragma once

#include <cstdint>

namespace corvalo::clipcalc {

// What the 64 bytes of one block of clipboard text are, one bit per byte (bit i
// for byte i): the load reads whole tokens from these masks instead of byte by byte.
struct BlockMasks {
    std::uint64_t separator = 0;  // TAB, LF, CR, or the NUL that ends the text
    std::uint64_t minus = 0;      // '-'
    std::uint64_t decimal = 0;    // the locale's decimal separator
    std::uint64_t other = 0;      // none of these and no digit
};

using BlockClassifier = BlockMasks (*)(const char* block, char decimal);

// One byte at a time: the reference for the others, and the fallback where no
// vector unit is known.
BlockMasks classifyBlockScalar(const char* block, char decimal);
#if defined(__x86_64__)
BlockMasks classifyBlockSse2(const char* block, char decimal);
// Only where the processor has AVX2 (see hasAvx2).
BlockMasks classifyBlockAvx2(const char* block, char decimal);
bool hasAvx2();
#endif

// The fastest classifier this processor runs.
BlockClassifier bestBlockClassifier();

}  // namespace corvalo::clipcalc
