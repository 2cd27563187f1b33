#include "net/powersock.h"

#include <algorithm>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "net/loopback_server.h"
#include "net/test_pump.h"
#include "support/temp_dir.h"

namespace corvalo::net {
namespace {

using corvalo::testing::LoopbackServer;
using corvalo::testing::ServerConnection;
using corvalo::testing::TestPump;

using corvalo::testing::HostsFileOnly;

// A "DNS server" on 127.0.0.1 that takes queries and never answers.
class SilentDnsServer {
  public:
    SilentDnsServer() {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof sa;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&sa), &len);
        port_ = ntohs(sa.sin_port);
    }
    ~SilentDnsServer() { ::close(fd_); }
    SilentDnsServer(const SilentDnsServer&) = delete;
    SilentDnsServer& operator=(const SilentDnsServer&) = delete;

    HostResolver::Options options() const {
        HostResolver::Options o;
        o.timeoutMs = 5000;
        o.tries = 1;
        o.lookups = "b";
        o.servers = "127.0.0.1:" + std::to_string(port_);
        return o;
    }

  private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

class PowersockTest : public ::testing::Test {
  protected:
    void connectTo(const LoopbackServer& server) {
        sock.Host = "127.0.0.1";
        sock.Port = server.port();
        sock.Connect();
    }

    TestPump pump;
    SteadyClock clock;
    TPowersock sock{pump, clock, HostsFileOnly()};
};

void holdOpen(ServerConnection& c, int) {
    c.waitForClose();
}

TEST_F(PowersockTest, DottedAddressConnectsWithoutLookUp) {
    LoopbackServer server(holdOpen);
    int resolved = 0, connected = 0, disconnected = 0;
    sock.OnHostResolved = [&](TPowersock&) { ++resolved; };
    sock.OnConnect = [&](TPowersock&) { ++connected; };
    sock.OnDisconnect = [&](TPowersock&) { ++disconnected; };
    connectTo(server);
    EXPECT_TRUE(sock.Connected());
    EXPECT_EQ(resolved, 0);
    EXPECT_EQ(connected, 1);
    EXPECT_GT(pump.passes, 0);  // the wait ran the program's events
    sock.Disconnect();
    EXPECT_FALSE(sock.Connected());
    EXPECT_EQ(disconnected, 1);
}

TEST_F(PowersockTest, HostNameIsLookedUpAndReported) {
    LoopbackServer server(holdOpen);
    int resolved = 0;
    sock.OnHostResolved = [&](TPowersock&) { ++resolved; };
    sock.Host = "localhost";
    sock.Port = server.port();
    sock.Connect();
    EXPECT_EQ(resolved, 1);
    EXPECT_EQ(sock.Address(), htonl(INADDR_LOOPBACK));
    EXPECT_TRUE(sock.Connected());
}

TEST_F(PowersockTest, ProxyIsResolvedAndConnectedInsteadOfHost) {
    LoopbackServer server(holdOpen);
    sock.Host = "origin.invalid";
    sock.Port = 1;
    sock.Proxy = "127.0.0.1";
    sock.ProxyPort = server.port();
    sock.Connect();
    EXPECT_TRUE(sock.Connected());
}

TEST(PowersockInvalidHost, FiresTheEventOnceAndGivesUpWithoutHandled) {
    enum class Handler { None, LeavesHandled, HandledUnchanged, FixesHost };
    const struct {
        const char* name;
        Handler handler;
        int events;
        bool connects;
    } rows[] = {
        {"no handler", Handler::None, 0, false},
        {"handler leaves Handled false", Handler::LeavesHandled, 1, false},
        {"Handled but the name still fails", Handler::HandledUnchanged, 1, false},
        {"handler gives a good host", Handler::FixesHost, 1, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(holdOpen);
        TestPump pump;
        SteadyClock clock;
        TPowersock sock(pump, clock, HostsFileOnly());
        sock.Host = "nowhere.invalid";
        sock.Port = server.port();
        int events = 0;
        if (row.handler != Handler::None) {
            sock.OnInvalidHost = [&](bool& handled) {
                ++events;
                if (row.handler == Handler::LeavesHandled) return;
                if (row.handler == Handler::FixesHost) sock.Host = "127.0.0.1";
                handled = true;
            };
        }
        if (row.connects) {
            sock.Connect();
            EXPECT_TRUE(sock.Connected());
        } else {
            try {
                sock.Connect();
                ADD_FAILURE() << "connected";
            } catch (const ESockError& e) {
                EXPECT_STREQ(e.what(), "Null Remote Address");
            }
        }
        EXPECT_EQ(events, row.events);
    }
}

TEST(HostResolverTest, ReservedInvalidNamesFailAtOnceWithoutAQuery) {
    SilentDnsServer dns;
    HostResolver resolver(dns.options());
    for (const char* name : {"update.corvalo.invalid", "X.INVALID.", "invalid"}) {
        SCOPED_TRACE(name);
        resolver.Start(name);
        EXPECT_FALSE(resolver.Busy());  // a query would still be waiting on the silent server
        EXPECT_FALSE(resolver.Succeeded());
    }
    resolver.Start("invalid.example");
    EXPECT_TRUE(resolver.Busy());
    resolver.Cancel();
}

TEST(PowersockLookUp, EndsByTimeOutOrCancelWithoutInvalidHost) {
    const struct {
        const char* name;
        std::int32_t timeOut;
        bool cancel;
        const char* error;
    } rows[] = {
        {"time-out", 100, false, "Host Lookup Timed Out"},
        {"cancel during the wait", 0, true, "Host Lookup Canceled"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SilentDnsServer dns;
        TestPump pump;
        SteadyClock clock;
        TPowersock sock(pump, clock, dns.options());
        sock.Host = "slow.example";
        sock.Port = 80;
        sock.TimeOut = row.timeOut;
        int invalid = 0, failed = 0;
        sock.OnInvalidHost = [&](bool&) { ++invalid; };
        sock.OnConnectionFailed = [&](TPowersock&) { ++failed; };
        if (row.cancel) {
            pump.onPass = [&] {
                if (pump.passes == 3) sock.Cancel();
            };
        }
        try {
            sock.Connect();
            ADD_FAILURE() << "connected";
        } catch (const ESockError& e) {
            EXPECT_STREQ(e.what(), row.error);
        }
        EXPECT_EQ(invalid, 0);
        EXPECT_EQ(failed, 0);
    }
}

TEST_F(PowersockTest, RefusedConnectionFailsAndAFreshSocketConnectsLater) {
    int failed = 0;
    sock.OnConnectionFailed = [&](TPowersock&) { ++failed; };
    sock.Host = "127.0.0.1";
    sock.Port = corvalo::testing::UnusedPort();
    try {
        sock.Connect();
        ADD_FAILURE() << "connected";
    } catch (const ESockError& e) {
        EXPECT_STREQ(e.what(), "Connection Failed");
    }
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(sock.LastErrorNo(), 10061);
    sock.Disconnect();
    LoopbackServer server(holdOpen);
    connectTo(server);
    EXPECT_TRUE(sock.Connected());
}

TEST_F(PowersockTest, PortBeyondSixteenBitsIsRefusedNotCutToAnother) {
    // 65536 + the server's port would otherwise reach the server.
    LoopbackServer server(holdOpen);
    sock.Host = "127.0.0.1";
    sock.Port = 65536 + server.port();
    try {
        sock.Connect();
        ADD_FAILURE() << "connected";
    } catch (const ESockError& e) {
        EXPECT_STREQ(e.what(), "10022:Invalid argument");
    }
    EXPECT_FALSE(sock.Connected());
}

TEST_F(PowersockTest, SecondConnectWhileConnectedIsRefused) {
    LoopbackServer server(holdOpen);
    connectTo(server);
    try {
        sock.Connect();
        ADD_FAILURE() << "connected twice";
    } catch (const ESockError& e) {
        EXPECT_STREQ(e.what(), "Already connected");
    }
}

TEST_F(PowersockTest, ReadLnKeepsLineEndsAndGivesEmptyForAnUnendedLastLine) {
    LoopbackServer server([](ServerConnection& c, int) { c.send("one\r\ntwo\nthree"); });
    connectTo(server);
    EXPECT_EQ(sock.ReadLn(), "one\r\n");
    EXPECT_EQ(sock.ReadLn(), "two\n");
    EXPECT_EQ(sock.ReadLn(), "");
}

TEST_F(PowersockTest, ReadLnKeepsTheStartOfALineLongerThanTheBuffer) {
    const std::string longLine(200000, 'x');
    LoopbackServer server([&](ServerConnection& c, int) { c.send(longLine + "\r\nnext\r\n"); });
    connectTo(server);
    const std::string first = sock.ReadLn();
    EXPECT_EQ(first.size(), TPowersock::kBufferSize);
    EXPECT_EQ(first.find_first_not_of('x'), std::string::npos);
    EXPECT_EQ(sock.ReadLn(), "next\r\n");
}

TEST(PowersockWaits, EndWithAbortByTimeOutOrCancel) {
    enum class Op { ReadLn, Capture };
    const struct {
        const char* name;
        Op op;
        bool cancel;
        const char* error;
    } rows[] = {
        {"ReadLn time-out", Op::ReadLn, false, "Socket readln aborted"},
        {"ReadLn cancel", Op::ReadLn, true, "Socket readln aborted"},
        {"capture time-out", Op::Capture, false, "Socket capture aborted"},
        {"capture cancel", Op::Capture, true, "Socket capture aborted"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(holdOpen);  // accepts and never answers
        TestPump pump;
        SteadyClock clock;
        TPowersock s(pump, clock, HostsFileOnly());
        s.Host = "127.0.0.1";
        s.Port = server.port();
        s.Connect();
        s.TimeOut = row.cancel ? 0 : 150;
        if (row.cancel) {
            pump.onPass = [&] {
                if (pump.passes == 5) s.Cancel();
            };
        }
        try {
            std::string text;
            if (row.op == Op::ReadLn) {
                text = s.ReadLn();
            } else {
                s.CaptureString(text, -1);
            }
            ADD_FAILURE() << "returned " << text;
        } catch (const EAbortError& e) {
            EXPECT_STREQ(e.what(), row.error);
        }
        EXPECT_EQ(s.TimedOut(), !row.cancel);
        EXPECT_FALSE(s.Canceled());  // each abort clears it for the next wait
    }
}

TEST_F(PowersockTest, NegativeTimeOutIsARangeErrorWhenAWaitStarts) {
    LoopbackServer server(holdOpen);
    connectTo(server);
    sock.TimeOut = -1;
    try {
        sock.ReadLn();
        ADD_FAILURE() << "read";
    } catch (const corvalo::Error& e) {
        EXPECT_STREQ(e.what(), "Range check error");
    }
}

TEST_F(PowersockTest, CaptureReceivesABodyThatArrivesOneByteAtATime) {
    const std::string body = "1.01 version text\r\n";
    LoopbackServer server([&](ServerConnection& c, int) { c.sendByteByByte(body); });
    connectTo(server);
    int pieces = 0;
    sock.OnPacketRecvd = [&](TPowersock&) { ++pieces; };
    std::string text;
    sock.CaptureString(text, -1);
    EXPECT_EQ(text, body);
    EXPECT_EQ(sock.BytesRecvd(), static_cast<std::int64_t>(body.size()));
    EXPECT_GE(pieces, 1);
}

TEST_F(PowersockTest, PeerCloseWithNothingLeftClosesOursAndMakesAFreshSocket) {
    LoopbackServer server([](ServerConnection& c, int) { c.send("abc"); });
    connectTo(server);
    int disconnected = 0;
    sock.OnDisconnect = [&](TPowersock&) { ++disconnected; };
    std::string text;
    sock.CaptureString(text, -1);
    EXPECT_EQ(text, "abc");
    EXPECT_FALSE(sock.Connected());
    EXPECT_EQ(disconnected, 1);
}

TEST_F(PowersockTest, CaptureStopsAtTheLargestLengthWanted) {
    const std::string big(100000, 'b');
    LoopbackServer server([&](ServerConnection& c, int) {
        c.send(big);
        c.waitForClose();
    });
    connectTo(server);
    std::string text;
    sock.CaptureString(text, 1000);
    EXPECT_EQ(text.size(), 1000u);
}

TEST(PowersockWrite, ServerSeesOnlyTheBytesBeforeTheNul) {
    TestPump pump;
    SteadyClock clock;
    std::string received;
    {
        LoopbackServer server([&](ServerConnection& c, int) {
            received = c.readBytes(8);
            c.send("ok\n");
            c.waitForClose();
        });
        TPowersock sock(pump, clock, HostsFileOnly());
        sock.Host = "127.0.0.1";
        sock.Port = server.port();
        sock.Connect();
        sock.Write(std::string("abc\0def", 7));
        EXPECT_THROW(sock.Write(std::string(TPowersock::kMaxWrite + 1, 'z')), corvalo::Error);
        sock.Writeln("end");
        // Closing resets the connection, which drops what the server has not read yet.
        EXPECT_EQ(sock.ReadLn(), "ok\n");
        sock.Disconnect();
    }
    EXPECT_EQ(received, "abcend\r\n");
}

TEST_F(PowersockTest, SendToAPeerThatNeverReadsEndsByTheTimeOut) {
    LoopbackServer server([](ServerConnection& c, int) { c.waitForCloseUnread(); });
    connectTo(server);
    sock.TimeOut = 200;
    const std::string block(TPowersock::kMaxWrite, 's');
    try {
        // Loopback buffers hold a few megabytes; 64 MiB cannot fit.
        for (int i = 0; i < 1024; ++i) sock.Write(block);
        ADD_FAILURE() << "everything was sent";
    } catch (const EAbortError& e) {
        EXPECT_STREQ(e.what(), "Socket send aborted");
    }
    EXPECT_TRUE(sock.TimedOut());
}

TEST(PowersockFiles, SendFileAndCaptureFileCarryEveryByte) {
    corvalo::testing::TempDir dir;
    std::string content(200000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    corvalo::testing::WriteFile(dir / "out.bin", content);

    TestPump pump;
    SteadyClock clock;
    std::string received;
    int packets = 0;
    {
        LoopbackServer server([&](ServerConnection& c, int) {
            received = c.readBytes(content.size());
            c.send(received);  // echoed back for CaptureFile
        });
        TPowersock sock(pump, clock, HostsFileOnly());
        sock.OnPacketSent = [&](TPowersock&) { ++packets; };
        sock.Host = "127.0.0.1";
        sock.Port = server.port();
        sock.Connect();
        sock.SendFile((dir / "out.bin").string());
        EXPECT_EQ(sock.BytesSent(), static_cast<std::int64_t>(content.size()));
        sock.CaptureFile((dir / "in.bin").string());
    }
    EXPECT_GE(packets, 1);
    EXPECT_TRUE(received == content);
    EXPECT_TRUE(corvalo::testing::ReadFile(dir / "in.bin") == content);
}

TEST_F(PowersockTest, TransactionReadsTheReplyNumber) {
    std::string command;
    LoopbackServer server([&](ServerConnection& c, int) {
        command = c.readBytes(6);
        c.send("250 OK here\r\n");
        c.waitForClose();
    });
    connectTo(server);
    sock.ReportLevel = 1;
    EXPECT_EQ(sock.Transaction("NOOP"), "250 OK here\r\n");
    EXPECT_EQ(sock.ReplyNumber(), 250);
    EXPECT_EQ(sock.Status(), "250 OK here\r\n");
    sock.Disconnect();
    EXPECT_EQ(command, "NOOP\r\n");
}

TEST_F(PowersockTest, DataAvailableTellsWhetherABytesWaits) {
    LoopbackServer server([](ServerConnection& c, int) {
        c.send("hello\nx");
        c.waitForClose();
    });
    connectTo(server);
    EXPECT_EQ(sock.ReadLn(), "hello\n");
    EXPECT_TRUE(sock.DataAvailable());
    std::string text;
    sock.CaptureString(text, 1);
    EXPECT_FALSE(sock.DataAvailable());
}

TEST_F(PowersockTest, StatusIsReportedUpToTheReportLevel) {
    LoopbackServer server(holdOpen);
    std::vector<std::string> reported;
    sock.OnStatus = [&](TPowersock&, const std::string& s) { reported.push_back(s); };
    sock.ReportLevel = 4;
    connectTo(server);
    sock.Disconnect();
    const auto has = [&](const char* s) {
        return std::find(reported.begin(), reported.end(), s) != reported.end();
    };
    EXPECT_TRUE(has("Request Close Socket"));
    EXPECT_FALSE(has("Connecting"));
    sock.ReportLevel = 8;
    connectTo(server);
    EXPECT_TRUE(has("Connecting"));
    EXPECT_EQ(sock.Status(), "Timer Off");
}

TEST(PowersockLibrary, StartsOncePerStretchOfLiveComponents) {
    ASSERT_EQ(TPowersock::LiveCount(), 0);
    TestPump pump;
    SteadyClock clock;
    const int startsBefore = TPowersock::LibraryStarts();
    {
        TPowersock first(pump, clock, HostsFileOnly());
        EXPECT_EQ(first.WSAInfo().size(), 6u);
        TPowersock second(pump, clock, HostsFileOnly());
        EXPECT_EQ(TPowersock::LiveCount(), 2);
        EXPECT_TRUE(second.WSAInfo().empty());
        EXPECT_EQ(TPowersock::LibraryStarts(), startsBefore + 1);
    }
    EXPECT_EQ(TPowersock::LiveCount(), 0);
    EXPECT_FALSE(TPowersock::LibraryRunning());
}

TEST(PowersockLibrary, DestroyingAConnectedComponentFiresNoEvent) {
    LoopbackServer server(holdOpen);
    TestPump pump;
    SteadyClock clock;
    int events = 0;
    {
        TPowersock sock(pump, clock, HostsFileOnly());
        sock.Host = "127.0.0.1";
        sock.Port = server.port();
        sock.Connect();
        sock.OnDisconnect = [&](TPowersock&) { ++events; };
        sock.OnStatus = [&](TPowersock&, const std::string&) { ++events; };
        sock.ReportLevel = 8;
    }
    EXPECT_EQ(events, 0);
}

}  // namespace
}  // namespace corvalo::net
