#include "clipcalc/scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvalo::clipcalc {
namespace {

TEST(ClassifyBlock, ScalarMasksOfOneBlock) {
    // Bytes 0..10: '1' '2' TAB '-' '3' '.' '5' 'x' CR LF NUL; 'x' up to byte 63.
    std::string b("12\t-3.5x\r\n\0", 11);
    b.resize(64, 'x');
    const BlockMasks m = classifyBlockScalar(b.data(), '.');
    EXPECT_EQ(m.separator, 0b11100000100u);
    EXPECT_EQ(m.minus, 0b00000001000u);
    EXPECT_EQ(m.decimal, 0b00000100000u);
    EXPECT_EQ(m.other, ~std::uint64_t{0b11111111111} | 0b00010000000u);
}

// Every vector classifier this processor runs gives exactly the scalar masks.
TEST(ClassifyBlock, VectorClassifiersMatchScalar) {
    struct Classifier {
        const char* name;
        BlockClassifier classify;
    };
    std::vector<Classifier> classifiers = {{"best", bestBlockClassifier()}};
#if defined(__x86_64__)
    classifiers.push_back({"sse2", classifyBlockSse2});
    if (hasAvx2()) classifiers.push_back({"avx2", classifyBlockAvx2});
#endif
    // Bytes next to the classes' edges ('/' ':' around the digits), high bytes, NUL and
    // separators a locale may choose, spread over every 16-byte lane.
    const std::string alphabet("0123456789/:-.,\t\r\n\v\200\377\240aE '\0", 27);
    std::string b(64, ' ');
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = alphabet[i * 7 % alphabet.size()];
    for (const char decimal : {'.', ',', '\xA0', '\'', '\t'}) {
        const BlockMasks want = classifyBlockScalar(b.data(), decimal);
        for (const Classifier& k : classifiers) {
            SCOPED_TRACE(std::string(k.name) + " decimal " + std::to_string(+decimal));
            const BlockMasks got = k.classify(b.data(), decimal);
            EXPECT_EQ(got.separator, want.separator);
            EXPECT_EQ(got.minus, want.minus);
            EXPECT_EQ(got.decimal, want.decimal);
            EXPECT_EQ(got.other, want.other);
        }
    }
}

}  // namespace
}  // namespace corvalo::clipcalc
