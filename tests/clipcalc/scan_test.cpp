#include "clipcalc/scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace corvalo::clipcalc {
namespace {

std::string block64(std::string text) {
    text.resize(64, 'x');
    return text;
}

TEST(ClassifyBlock, ScalarMasksOfOneBlock) {
    // Bytes 0..9: '1' '2' TAB '-' '3' '.' '5' 'x' CR LF; 'x' up to byte 63.
    const std::string b = block64("12\t-3.5x\r\n");
    const BlockMasks m = classifyBlockScalar(b.data(), '.');
    EXPECT_EQ(m.separator, 0b1100000100u);
    EXPECT_EQ(m.minus, 0b0000001000u);
    EXPECT_EQ(m.decimal, 0b0000100000u);
    EXPECT_EQ(m.other, ~std::uint64_t{0b1111111111} | 0b0010000000u);
}

TEST(ClassifyBlock, NulEndsTheTextLikeASeparator) {
    const std::string b =
        block64(std::string("7\0"
                            "8",
                            3));
    EXPECT_EQ(classifyBlockScalar(b.data(), ',').separator, 0b010u);
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
    // Bytes next to the classes' edges ('/' ':' before and after the digits),
    // high bytes, NUL, and separators a locale may choose.
    const std::string alphabet = std::string(
                                     "0123456789/:-.,\t\r\n\x0B\x80\xFF\xA0"
                                     "aE ",
                                     24) +
                                 std::string(1, '\0');
    std::mt19937 rng(20261206);
    for (const char decimal : {'.', ',', '\xA0', '\''}) {
        for (int i = 0; i < 2000; ++i) {
            std::string b(64, ' ');
            for (char& c : b) c = alphabet[rng() % alphabet.size()];
            const BlockMasks want = classifyBlockScalar(b.data(), decimal);
            for (const Classifier& k : classifiers) {
                SCOPED_TRACE(std::string(k.name) + " decimal " + std::to_string(+decimal));
                const BlockMasks got = k.classify(b.data(), decimal);
                ASSERT_EQ(got.separator, want.separator);
                ASSERT_EQ(got.minus, want.minus);
                ASSERT_EQ(got.decimal, want.decimal);
                ASSERT_EQ(got.other, want.other);
            }
        }
    }
}

}  // namespace
}  // namespace corvalo::clipcalc
