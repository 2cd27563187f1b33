#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "net/base64.h"
#include "net/header_list.h"
#include "net/url_encode.h"

namespace corvalo::net {
namespace {

TEST(FormUrlEncode, EncodesFormData) {
    const struct {
        const char* name;
        std::string input;
        const char* encoded;
    } rows[] = {
        {"letters and digits stay", "AZaz09", "AZaz09"},
        {"blank is plus", "a b", "a+b"},
        {"reserved characters", "a&b=c/d?e", "a%26b%3Dc%2Fd%3Fe"},
        {"unreserved marks are escaped too", "-_.~*", "%2D%5F%2E%7E%2A"},
        {"plus and percent", "+%", "%2B%25"},
        {"8-bit bytes upper-case hex", "\xFC\xA0", "%FC%A0"},
        {"NUL byte", std::string("a\0b", 3), "a%00b"},
        {"line end", "\r\n", "%0D%0A"},
        {"empty", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(formUrlEncode(row.input), row.encoded);
    }
}

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

TEST(Base64EncodeLine, GivesOneLineWhateverTheLength) {
    const std::string longCredentials(60, 'u');
    const std::string encoded = base64EncodeLine(longCredentials + ":" + "p");
    EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(encoded.size(), 84u);  // 62 bytes -> 21 groups
    EXPECT_EQ(base64EncodeLine("Aladdin:open sesame"), "QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
}

TEST(SetHeaderValue, ReplacesAppendsAndDeletesByNameIgnoringCase) {
    const struct {
        const char* name;
        const char* header;
        const char* value;
        std::string text;
    } rows[] = {
        {"replaces in place, any case", "HOST", "b", "GET / HTTP/1.0\r\nHOST: b\r\nAccept: x\r\n"},
        {"appends a new name", "Cookie", "c=1",
         "GET / HTTP/1.0\r\nhost: a\r\nAccept: x\r\nCookie: c=1\r\n"},
        {"empty value deletes", "Accept", "", "GET / HTTP/1.0\r\nhost: a\r\n"},
        {"empty value for a missing name does nothing", "From", "",
         "GET / HTTP/1.0\r\nhost: a\r\nAccept: x\r\n"},
        {"a line without a colon never matches", "GET / HTTP/1.0", "z",
         "GET / HTTP/1.0\r\nhost: a\r\nAccept: x\r\nGET / HTTP/1.0: z\r\n"},
        {"a prefix is not the name", "Hos", "q",
         "GET / HTTP/1.0\r\nhost: a\r\nAccept: x\r\nHos: q\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        HeaderLines list;
        list.add("GET / HTTP/1.0");
        list.add("host: a");
        list.add("Accept: x");
        setHeaderValue(list, row.header, row.value);
        EXPECT_EQ(list.text(), row.text);
    }
}

}  // namespace
}  // namespace corvalo::net
