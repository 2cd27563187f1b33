#include "net/header_list.h"

#include <string>

#include <gtest/gtest.h>

namespace corvalo::net {
namespace {

TEST(SetHeaderValue, ReplacesAppendsAndDeletesByNameIgnoringCase) {
    const std::string kBefore = "GET / HTTP/1.0\r\nhost: a\r\nAccept: x\r\n";
    const struct {
        const char* name;
        const char* header;
        const char* value;
        std::string text;
    } rows[] = {
        {"replaces in place, any case", "HOST", "b", "GET / HTTP/1.0\r\nHOST: b\r\nAccept: x\r\n"},
        {"appends a new name", "Cookie", "c=1", kBefore + "Cookie: c=1\r\n"},
        {"empty value deletes", "Accept", "", "GET / HTTP/1.0\r\nhost: a\r\n"},
        {"empty value for a missing name does nothing", "From", "", kBefore},
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

}  // namespace
}  // namespace corvalo::net
