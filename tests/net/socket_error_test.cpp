#include "net/socket_error.h"

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

namespace corvalo::net {
namespace {

TEST(LookupErrorMessage, GivesCodeColonTextOrUnknown) {
    const struct {
        const char* name;
        int code;
        const char* text;
    } rows[] = {
        {"first row", 10004, "10004:Interrupted system call"},
        {"refused", 10061, "10061:Connection refused"},
        {"would block", 10035, "10035:Operation would block"},
        {"apostrophe kept", 10049, "10049:Can't assign requested address"},
        {"gap after 10071", 10091, "10091:Network subsystem is unavailable"},
        {"last row", 11004, "11004:Valid name, no data record of requested type"},
        {"not in the table", 10072, "Unknown Error No. 10072"},
        {"base itself", 10000, "Unknown Error No. 10000"},
        {"small number", 5, "Unknown Error No. 5"},
        {"negative", -1, "Unknown Error No. -1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(lookupErrorMessage(row.code), row.text);
    }
}

TEST(SocketErrorFromErrno, MapsLinuxNumbersOntoSocketCodes) {
    const struct {
        const char* name;
        int err;
        int code;
    } rows[] = {
        {"no error", 0, 0},
        {"refused", ECONNREFUSED, 10061},
        {"would block", EAGAIN, 10035},
        {"in progress", EINPROGRESS, 10036},
        {"not connected", ENOTCONN, 10057},
        {"reset", ECONNRESET, 10054},
        {"broken pipe", EPIPE, 10058},
        {"timed out", ETIMEDOUT, 10060},
        {"bad descriptor", EBADF, 10009},
        // Linux's ENODATA is 61: it must not read as "Connection refused".
        {"no socket code", ENODATA, kUnmappedErrnoBase + ENODATA},
        {"io error", EIO, kUnmappedErrnoBase + EIO},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(socketErrorFromErrno(row.err), row.code);
    }
}

}  // namespace
}  // namespace corvalo::net
