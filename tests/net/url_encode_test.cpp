#include "net/url_encode.h"

#include <string>

#include <gtest/gtest.h>

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
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(formUrlEncode(row.input), row.encoded);
    }
}

}  // namespace
}  // namespace corvalo::net
