#include "net/base64.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace corvalo::net {
namespace {

enum class Coding { Base64, Uu };

std::string encodeWith(Coding coding, std::string_view input) {
    return coding == Coding::Base64 ? base64Encode(input) : uuEncode(input);
}

std::string decodeWith(Coding coding, std::string_view encoded) {
    return coding == Coding::Base64 ? base64Decode(encoded) : uuDecode(encoded);
}

TEST(CodedLines, EncodeBlocksOf45BytesPerLineAndDecodeBack) {
    const std::string alphabet45 = "The quick brown fox jumps over the lazy dog!!";
    ASSERT_EQ(alphabet45.size(), 45u);
    const struct {
        const char* name;
        Coding coding;
        std::string input;
        std::string encoded;
    } rows[] = {
        {"base64, no fill", Coding::Base64, "Man", "TWFu\r\n"},
        {"base64, one fill", Coding::Base64, "Ma", "TWE=\r\n"},
        {"base64, two fills", Coding::Base64, "M", "TQ==\r\n"},
        {"base64, empty", Coding::Base64, "", ""},
        {"base64, 46 bytes make two lines", Coding::Base64, alphabet45 + "x",
         "VGhlIHF1aWNrIGJyb3duIGZveCBqdW1wcyBvdmVyIHRoZSBsYXp5IGRvZyEh\r\neA==\r\n"},
        {"uu, one group", Coding::Uu, "Cat", "#0V%T\r\n`\r\n"},
        {"uu, zero values are grave accents", Coding::Uu, std::string(3, '\0'), "#````\r\n`\r\n"},
        {"uu, empty is the end line alone", Coding::Uu, "", "`\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(encodeWith(row.coding, row.input), row.encoded);
        EXPECT_EQ(decodeWith(row.coding, row.encoded), row.input);
    }
}

TEST(CodedLines, RoundTripEveryByteValue) {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    for (const Coding coding : {Coding::Base64, Coding::Uu}) {
        SCOPED_TRACE(coding == Coding::Base64 ? "base64" : "uu");
        EXPECT_EQ(decodeWith(coding, encodeWith(coding, all)), all);
    }
}

TEST(Base64EncodeLine, GivesOneLineBeyondTheBlockOf45Bytes) {
    EXPECT_EQ(
        base64EncodeLine(std::string(60, 'u') + ":p"),
        "dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1OnA=");
}

}  // namespace
}  // namespace corvalo::net
