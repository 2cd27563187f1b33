#include <string>

#include <gtest/gtest.h>

#include "net/header_list.h"
#include "net/url_encode.h"
#include "net/base64.h"

namespace corvalo::net {
namespace {

TEST(UrlEncoder, EncodesFormData) {
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
        UrlEncoder url;
        url.inputString = row.input;
        EXPECT_EQ(url.encode(), row.encoded);
    }
}

TEST(Base64Coder, EncodesBlocksOf45BytesPerLine) {
    const std::string alphabet45 = "The quick brown fox jumps over the lazy dog!!";
    ASSERT_EQ(alphabet45.size(), 45u);
    const struct {
        const char* name;
        UUMethods method;
        std::string input;
        std::string encoded;
    } rows[] = {
        {"mime, no fill", UUMethods::uuMime, "Man", "TWFu\r\n"},
        {"mime, one fill", UUMethods::uuMime, "Ma", "TWE=\r\n"},
        {"mime, two fills", UUMethods::uuMime, "M", "TQ==\r\n"},
        {"mime, empty", UUMethods::uuMime, "", ""},
        {"mime, 46 bytes make two lines", UUMethods::uuMime, alphabet45 + "x",
         "VGhlIHF1aWNrIGJyb3duIGZveCBqdW1wcyBvdmVyIHRoZSBsYXp5IGRvZyEh\r\neA==\r\n"},
        {"uu, one group", UUMethods::uuCode, "Cat", "#0V%T\r\n`\r\n"},
        {"uu, zero values are grave accents", UUMethods::uuCode, std::string(3, '\0'),
         "#````\r\n`\r\n"},
        {"uu, empty is the end line alone", UUMethods::uuCode, "", "`\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Base64Coder uu;
        uu.method = row.method;
        EXPECT_EQ(uu.encode(row.input), row.encoded);
        EXPECT_EQ(uu.decode(row.encoded), row.input);
    }
}

TEST(Base64Coder, RoundTripsEveryByteValueAndFiresItsEvents) {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    for (const UUMethods method : {UUMethods::uuMime, UUMethods::uuCode}) {
        SCOPED_TRACE(method == UUMethods::uuMime ? "mime" : "uu");
        Base64Coder uu;
        uu.method = method;
        int events = 0;
        uu.onBeginEncode = uu.onEndEncode = uu.onBeginDecode =
            uu.onEndDecode = [&](Base64Coder&) { ++events; };
        const std::string encoded = uu.encode(all);
        EXPECT_EQ(uu.decode(encoded), all);
        EXPECT_EQ(events, 4);
    }
}

TEST(EncodeBase64Line, GivesOneLineWhateverTheLength) {
    const std::string longCredentials(60, 'u');
    const std::string encoded = encodeBase64Line(longCredentials + ":" + "p");
    EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(encoded.size(), 84u);  // 62 bytes -> 21 groups
    EXPECT_EQ(encodeBase64Line("Aladdin:open sesame"), "QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
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
