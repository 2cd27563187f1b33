// The network layer's text helpers: Base64 and uuencode lines, form encoding, request
// header lines and socket error texts.
#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "net/base64.h"
#include "net/header_list.h"
#include "net/socket_error.h"
#include "net/url_encode.h"

namespace corvalo::net {
namespace {

// Round trips of every byte value are the fuzz target's; these pin the exact text.
TEST(CodedLines, EncodeBlocksOf45BytesPerLineAndDecodeBack) {
    const std::string alphabet45 = "The quick brown fox jumps over the lazy dog!!";
    const struct {
        const char* name;
        bool uu;
        std::string input;
        std::string encoded;
    } rows[] = {
        {"base64, one fill", false, "Ma", "TWE=\r\n"},
        {"base64, 46 bytes make two lines", false, alphabet45 + "x",
         "VGhlIHF1aWNrIGJyb3duIGZveCBqdW1wcyBvdmVyIHRoZSBsYXp5IGRvZyEh\r\neA==\r\n"},
        {"uu, one group", true, "Cat", "#0V%T\r\n`\r\n"},
        {"uu, zero values are grave accents", true, std::string(3, '\0'), "#````\r\n`\r\n"},
        {"uu, empty is the end line alone", true, "", "`\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.uu ? uuEncode(row.input) : base64Encode(row.input), row.encoded);
        EXPECT_EQ(row.uu ? uuDecode(row.encoded) : base64Decode(row.encoded), row.input);
    }
    // The Authorization value stays one line beyond a block of 45 bytes.
    EXPECT_EQ(
        base64EncodeLine(std::string(60, 'u') + ":p"),
        "dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1OnA=");
}

TEST(FormUrlEncode, KeepsLettersAndDigitsAndEscapesEveryOtherByte) {
    const struct {
        const char* name;
        std::string input;
        const char* encoded;
    } rows[] = {
        {"letters and digits stay, blank is plus", "AZaz09 x", "AZaz09+x"},
        {"marks and 8-bit bytes in upper-case hex", "-_.~*+%\xFC", "%2D%5F%2E%7E%2A%2B%25%FC"},
        {"NUL byte", std::string("a\0b", 3), "a%00b"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(formUrlEncode(row.input), row.encoded);
    }
}

TEST(SetHeaderValue, ReplacesAppendsAndDeletesByNameIgnoringCase) {
    const std::string kBefore = "GET / HTTP/1.0\r\nhost: a\r\nAccept: x\r\n";
    const struct {
        const char* name;
        const char* header;
        const char* value;
        std::string text;
    } rows[] = {
        {"replaces in place, any case", "HOST", "b", "GET / HTTP/1.0\r\nHOST: b\r\nAccept: x\r\n"},
        {"empty value deletes", "Accept", "", "GET / HTTP/1.0\r\nhost: a\r\n"},
        {"a line without a colon never matches", "GET / HTTP/1.0", "z",
         kBefore + "GET / HTTP/1.0: z\r\n"},
        {"a prefix is not the name", "Hos", "q", kBefore + "Hos: q\r\n"},
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

// A socket error's text as the user sees it, from the C library's number.
TEST(SocketErrorText, GivesTheSocketCodeColonItsTextOrUnknown) {
    const struct {
        int err;
        const char* text;
    } rows[] = {
        {ECONNREFUSED, "10061:Connection refused"},
        {EAGAIN, "10035:Operation would block"},
        {ENOTCONN, "10057:Socket is not connected"},
        {ENODATA, "Unknown Error No. 20061"},  // Linux's 61, not 10061 "Connection refused"
        {0, "Unknown Error No. 0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.err);
        EXPECT_EQ(lookupErrorMessage(socketErrorFromErrno(row.err)), row.text);
    }
}

}  // namespace
}  // namespace corvalo::net
