#include "net/socket_error.h"

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

namespace corvalo::net {
namespace {

TEST(LookupErrorMessage, GivesCodeColonTextOrUnknown) {
    const struct {
        int code;
        const char* text;
    } rows[] = {
        {10004, "10004:Interrupted system call"},  // the first known code
        {10049, "10049:Can't assign requested address"},
        {10091, "10091:Network subsystem is unavailable"},              // after the gap from 10071
        {11004, "11004:Valid name, no data record of requested type"},  // the last
        {10072, "Unknown Error No. 10072"},
        {10000, "Unknown Error No. 10000"},
        {5, "Unknown Error No. 5"},
        {-1, "Unknown Error No. -1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(lookupErrorMessage(row.code), row.text);
    }
}

TEST(SocketErrorFromErrno, MapsLinuxNumbersOntoSocketCodes) {
    const struct {
        int err;
        int code;
    } rows[] = {
        {0, 0},
        {ECONNREFUSED, 10061},
        {EAGAIN, 10035},
        {EINPROGRESS, 10036},
        {ENOTCONN, 10057},
        {ECONNRESET, 10054},
        {EPIPE, 10058},
        {ETIMEDOUT, 10060},
        {EBADF, 10009},
        // Linux's ENODATA is 61: it must not read as "Connection refused".
        {ENODATA, 20000 + 61},
        {EIO, 20000 + 5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.err);
        EXPECT_EQ(socketErrorFromErrno(row.err), row.code);
    }
}

}  // namespace
}  // namespace corvalo::net
