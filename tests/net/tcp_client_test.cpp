#include "net/tcp_client.h"

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

using corvalo::testing::hostsFileOnly;

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

class TcpClientTest : public ::testing::Test {
  protected:
    void connectTo(const LoopbackServer& server) {
        sock.host = "127.0.0.1";
        sock.port = server.port();
        sock.Connect();
    }

    TestPump pump;
    SteadyClock clock;
    TcpClient sock{pump, clock, hostsFileOnly()};
};

void holdOpen(ServerConnection& c, int) {
    c.waitForClose();
}

TEST_F(TcpClientTest, DottedAddressConnectsWithoutLookUp) {
    LoopbackServer server(holdOpen);
    int resolved = 0, connected = 0, disconnected = 0;
    sock.onHostResolved = [&](TcpClient&) { ++resolved; };
    sock.onConnect = [&](TcpClient&) { ++connected; };
    sock.onDisconnect = [&](TcpClient&) { ++disconnected; };
    connectTo(server);
    EXPECT_TRUE(sock.connected());
    EXPECT_EQ(resolved, 0);
    EXPECT_EQ(connected, 1);
    EXPECT_GT(pump.passes, 0);  // the wait ran the program's events
    sock.disconnect();
    EXPECT_FALSE(sock.connected());
    EXPECT_EQ(disconnected, 1);
}

TEST_F(TcpClientTest, HostNameIsLookedUpAndReported) {
    LoopbackServer server(holdOpen);
    int resolved = 0;
    sock.onHostResolved = [&](TcpClient&) { ++resolved; };
    sock.host = "localhost";
    sock.port = server.port();
    sock.Connect();
    EXPECT_EQ(resolved, 1);
    EXPECT_EQ(sock.address(), htonl(INADDR_LOOPBACK));
    EXPECT_TRUE(sock.connected());
}

TEST_F(TcpClientTest, ProxyIsResolvedAndConnectedInsteadOfHost) {
    LoopbackServer server(holdOpen);
    sock.host = "origin.invalid";
    sock.port = 1;
    sock.proxy = "127.0.0.1";
    sock.proxyPort = server.port();
    sock.Connect();
    EXPECT_TRUE(sock.connected());
}

TEST(TcpClientInvalidHost, FiresTheEventOnceAndGivesUpWithoutHandled) {
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
        TcpClient sock(pump, clock, hostsFileOnly());
        sock.host = "nowhere.invalid";
        sock.port = server.port();
        int events = 0;
        if (row.handler != Handler::None) {
            sock.onInvalidHost = [&](bool& handled) {
                ++events;
                if (row.handler == Handler::LeavesHandled) return;
                if (row.handler == Handler::FixesHost) sock.host = "127.0.0.1";
                handled = true;
            };
        }
        if (row.connects) {
            sock.Connect();
            EXPECT_TRUE(sock.connected());
        } else {
            try {
                sock.Connect();
                ADD_FAILURE() << "connected";
            } catch (const SocketError& e) {
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
        EXPECT_FALSE(resolver.busy());  // a query would still be waiting on the silent server
        EXPECT_FALSE(resolver.succeeded());
    }
    resolver.Start("invalid.example");
    EXPECT_TRUE(resolver.busy());
    resolver.cancel();
}

TEST(TcpClientLookUp, EndsByTimeOutOrCancelWithoutInvalidHost) {
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
        TcpClient sock(pump, clock, dns.options());
        sock.host = "slow.example";
        sock.port = 80;
        sock.timeOut = row.timeOut;
        int invalid = 0, failed = 0;
        sock.onInvalidHost = [&](bool&) { ++invalid; };
        sock.onConnectionFailed = [&](TcpClient&) { ++failed; };
        if (row.cancel) {
            pump.onPass = [&] {
                if (pump.passes == 3) sock.cancel();
            };
        }
        try {
            sock.Connect();
            ADD_FAILURE() << "connected";
        } catch (const SocketError& e) {
            EXPECT_STREQ(e.what(), row.error);
        }
        EXPECT_EQ(invalid, 0);
        EXPECT_EQ(failed, 0);
    }
}

TEST_F(TcpClientTest, RefusedConnectionFailsAndAFreshSocketConnectsLater) {
    int failed = 0;
    sock.onConnectionFailed = [&](TcpClient&) { ++failed; };
    sock.host = "127.0.0.1";
    sock.port = corvalo::testing::unusedPort();
    try {
        sock.Connect();
        ADD_FAILURE() << "connected";
    } catch (const SocketError& e) {
        EXPECT_STREQ(e.what(), "Connection Failed");
    }
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(sock.lastErrorNo(), 10061);
    sock.disconnect();
    LoopbackServer server(holdOpen);
    connectTo(server);
    EXPECT_TRUE(sock.connected());
}

TEST_F(TcpClientTest, PortBeyondSixteenBitsIsRefusedNotCutToAnother) {
    // 65536 + the server's port would otherwise reach the server.
    LoopbackServer server(holdOpen);
    sock.host = "127.0.0.1";
    sock.port = 65536 + server.port();
    try {
        sock.Connect();
        ADD_FAILURE() << "connected";
    } catch (const SocketError& e) {
        EXPECT_STREQ(e.what(), "10022:Invalid argument");
    }
    EXPECT_FALSE(sock.connected());
}

TEST_F(TcpClientTest, SecondConnectWhileConnectedIsRefused) {
    LoopbackServer server(holdOpen);
    connectTo(server);
    try {
        sock.Connect();
        ADD_FAILURE() << "connected twice";
    } catch (const SocketError& e) {
        EXPECT_STREQ(e.what(), "Already connected");
    }
}

TEST_F(TcpClientTest, ReadLnKeepsLineEndsAndGivesEmptyForAnUnendedLastLine) {
    LoopbackServer server([](ServerConnection& c, int) { c.send("one\r\ntwo\nthree"); });
    connectTo(server);
    EXPECT_EQ(sock.ReadLn(), "one\r\n");
    EXPECT_EQ(sock.ReadLn(), "two\n");
    EXPECT_EQ(sock.ReadLn(), "");
}

TEST_F(TcpClientTest, ReadLnKeepsTheStartOfALineLongerThanTheBuffer) {
    const std::string longLine(200000, 'x');
    LoopbackServer server([&](ServerConnection& c, int) { c.send(longLine + "\r\nnext\r\n"); });
    connectTo(server);
    const std::string first = sock.ReadLn();
    EXPECT_EQ(first.size(), TcpClient::kBufferSize);
    EXPECT_EQ(first.find_first_not_of('x'), std::string::npos);
    EXPECT_EQ(sock.ReadLn(), "next\r\n");
}

TEST(TcpClientWaits, EndWithAbortByTimeOutOrCancel) {
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
        TcpClient s(pump, clock, hostsFileOnly());
        s.host = "127.0.0.1";
        s.port = server.port();
        s.Connect();
        s.timeOut = row.cancel ? 0 : 150;
        if (row.cancel) {
            pump.onPass = [&] {
                if (pump.passes == 5) s.cancel();
            };
        }
        try {
            std::string text;
            if (row.op == Op::ReadLn) {
                text = s.ReadLn();
            } else {
                s.captureString(text, -1);
            }
            ADD_FAILURE() << "returned " << text;
        } catch (const TransferAborted& e) {
            EXPECT_STREQ(e.what(), row.error);
        }
        EXPECT_EQ(s.timedOut(), !row.cancel);
        EXPECT_FALSE(s.canceled());  // each abort clears it for the next wait
    }
}

TEST_F(TcpClientTest, NegativeTimeOutIsARangeErrorWhenAWaitStarts) {
    LoopbackServer server(holdOpen);
    connectTo(server);
    sock.timeOut = -1;
    try {
        sock.ReadLn();
        ADD_FAILURE() << "read";
    } catch (const corvalo::Error& e) {
        EXPECT_STREQ(e.what(), "Range check error");
    }
}

TEST_F(TcpClientTest, CaptureReceivesABodyThatArrivesOneByteAtATime) {
    const std::string body = "1.01 version text\r\n";
    LoopbackServer server([&](ServerConnection& c, int) { c.sendByteByByte(body); });
    connectTo(server);
    int pieces = 0;
    sock.onPacketRecvd = [&](TcpClient&) { ++pieces; };
    std::string text;
    sock.captureString(text, -1);
    EXPECT_EQ(text, body);
    EXPECT_EQ(sock.bytesRecvd(), static_cast<std::int64_t>(body.size()));
    EXPECT_GE(pieces, 1);
}

TEST_F(TcpClientTest, PeerCloseWithNothingLeftClosesOursAndMakesAFreshSocket) {
    LoopbackServer server([](ServerConnection& c, int) { c.send("abc"); });
    connectTo(server);
    int disconnected = 0;
    sock.onDisconnect = [&](TcpClient&) { ++disconnected; };
    std::string text;
    sock.captureString(text, -1);
    EXPECT_EQ(text, "abc");
    EXPECT_FALSE(sock.connected());
    EXPECT_EQ(disconnected, 1);
}

TEST_F(TcpClientTest, CaptureStopsAtTheLargestLengthWanted) {
    const std::string big(100000, 'b');
    LoopbackServer server([&](ServerConnection& c, int) {
        c.send(big);
        c.waitForClose();
    });
    connectTo(server);
    std::string text;
    sock.captureString(text, 1000);
    EXPECT_EQ(text.size(), 1000u);
}

TEST(TcpClientWrite, ServerSeesOnlyTheBytesBeforeTheNul) {
    TestPump pump;
    SteadyClock clock;
    std::string received;
    {
        LoopbackServer server([&](ServerConnection& c, int) {
            received = c.readBytes(8);
            c.send("ok\n");
            c.waitForClose();
        });
        TcpClient sock(pump, clock, hostsFileOnly());
        sock.host = "127.0.0.1";
        sock.port = server.port();
        sock.Connect();
        sock.Write(std::string("abc\0def", 7));
        EXPECT_THROW(sock.Write(std::string(TcpClient::kMaxWrite + 1, 'z')), corvalo::Error);
        sock.writeln("end");
        // Closing resets the connection, which drops what the server has not read yet.
        EXPECT_EQ(sock.ReadLn(), "ok\n");
        sock.disconnect();
    }
    EXPECT_EQ(received, "abcend\r\n");
}

TEST_F(TcpClientTest, SendToAPeerThatNeverReadsEndsByTheTimeOut) {
    LoopbackServer server([](ServerConnection& c, int) { c.waitForCloseUnread(); });
    connectTo(server);
    sock.timeOut = 200;
    const std::string block(TcpClient::kMaxWrite, 's');
    try {
        // Loopback buffers hold a few megabytes; 64 MiB cannot fit.
        for (int i = 0; i < 1024; ++i) sock.Write(block);
        ADD_FAILURE() << "everything was sent";
    } catch (const TransferAborted& e) {
        EXPECT_STREQ(e.what(), "Socket send aborted");
    }
    EXPECT_TRUE(sock.timedOut());
}

TEST(TcpClientFiles, SendFileAndCaptureFileCarryEveryByte) {
    corvalo::testing::TempDir dir;
    std::string content(200000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    corvalo::testing::writeFile(dir / "out.bin", content);

    TestPump pump;
    SteadyClock clock;
    std::string received;
    int packets = 0;
    {
        LoopbackServer server([&](ServerConnection& c, int) {
            received = c.readBytes(content.size());
            c.send(received);  // echoed back for captureFile
        });
        TcpClient sock(pump, clock, hostsFileOnly());
        sock.onPacketSent = [&](TcpClient&) { ++packets; };
        sock.host = "127.0.0.1";
        sock.port = server.port();
        sock.Connect();
        sock.sendFile((dir / "out.bin").string());
        EXPECT_EQ(sock.bytesSent(), static_cast<std::int64_t>(content.size()));
        sock.captureFile((dir / "in.bin").string());
    }
    EXPECT_GE(packets, 1);
    EXPECT_TRUE(received == content);
    EXPECT_TRUE(corvalo::testing::readFile(dir / "in.bin") == content);
}

TEST_F(TcpClientTest, TransactionReadsTheReplyNumber) {
    std::string command;
    LoopbackServer server([&](ServerConnection& c, int) {
        command = c.readBytes(6);
        c.send("250 OK here\r\n");
        c.waitForClose();
    });
    connectTo(server);
    sock.reportLevel = 1;
    EXPECT_EQ(sock.transaction("NOOP"), "250 OK here\r\n");
    EXPECT_EQ(sock.replyNumber(), 250);
    EXPECT_EQ(sock.status(), "250 OK here\r\n");
    sock.disconnect();
    EXPECT_EQ(command, "NOOP\r\n");
}

TEST_F(TcpClientTest, DataAvailableTellsWhetherABytesWaits) {
    LoopbackServer server([](ServerConnection& c, int) {
        c.send("hello\nx");
        c.waitForClose();
    });
    connectTo(server);
    EXPECT_EQ(sock.ReadLn(), "hello\n");
    EXPECT_TRUE(sock.dataAvailable());
    std::string text;
    sock.captureString(text, 1);
    EXPECT_FALSE(sock.dataAvailable());
}

TEST_F(TcpClientTest, StatusIsReportedUpToTheReportLevel) {
    LoopbackServer server(holdOpen);
    std::vector<std::string> reported;
    sock.onStatus = [&](TcpClient&, const std::string& s) { reported.push_back(s); };
    sock.reportLevel = 4;
    connectTo(server);
    sock.disconnect();
    const auto has = [&](const char* s) {
        return std::find(reported.begin(), reported.end(), s) != reported.end();
    };
    EXPECT_TRUE(has("Request Close Socket"));
    EXPECT_FALSE(has("Connecting"));
    sock.reportLevel = 8;
    connectTo(server);
    EXPECT_TRUE(has("Connecting"));
    EXPECT_EQ(sock.status(), "Timer Off");
}

TEST(TcpClientLibrary, StartsOncePerStretchOfLiveComponents) {
    ASSERT_EQ(TcpClient::liveCount(), 0);
    TestPump pump;
    SteadyClock clock;
    const int startsBefore = TcpClient::libraryStarts();
    {
        TcpClient first(pump, clock, hostsFileOnly());
        EXPECT_EQ(first.wsaInfo().size(), 6u);
        TcpClient second(pump, clock, hostsFileOnly());
        EXPECT_EQ(TcpClient::liveCount(), 2);
        EXPECT_TRUE(second.wsaInfo().empty());
        EXPECT_EQ(TcpClient::libraryStarts(), startsBefore + 1);
    }
    EXPECT_EQ(TcpClient::liveCount(), 0);
    EXPECT_FALSE(TcpClient::libraryRunning());
}

TEST(TcpClientLibrary, DestroyingAConnectedComponentFiresNoEvent) {
    LoopbackServer server(holdOpen);
    TestPump pump;
    SteadyClock clock;
    int events = 0;
    {
        TcpClient sock(pump, clock, hostsFileOnly());
        sock.host = "127.0.0.1";
        sock.port = server.port();
        sock.Connect();
        sock.onDisconnect = [&](TcpClient&) { ++events; };
        sock.onStatus = [&](TcpClient&, const std::string&) { ++events; };
        sock.reportLevel = 8;
    }
    EXPECT_EQ(events, 0);
}

}  // namespace
}  // namespace corvalo::net
