#include "net/tcp_client.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "net/dns_server.h"
#include "net/loopback_server.h"
#include "net/test_pump.h"
#include "support/temp_dir.h"

namespace corvalo::net {
namespace {

using corvalo::testing::errorText;
using corvalo::testing::holdOpen;
using corvalo::testing::hostsFileOnly;
using corvalo::testing::kHungMs;
using corvalo::testing::LoopbackServer;
using corvalo::testing::ServerConnection;
using corvalo::testing::TestPump;

class TcpClientTest : public ::testing::Test {
  protected:
    TcpClientTest() { sock.timeoutMs = kHungMs; }
    void connectTo(const LoopbackServer& server) {
        sock.host = "127.0.0.1";
        sock.port = server.port();
        sock.connect();
    }

    TestPump pump;
    SteadyClock clock;
    TcpClient sock{pump, clock, hostsFileOnly()};
};

TEST_F(TcpClientTest, ConnectsToTheHostOrItsProxyAndReportsEachStep) {
    const struct {
        const char* name;
        const char* host;
        const char* proxy;
        int lookUps;
    } rows[] = {
        {"dotted address, no look-up", "127.0.0.1", "", 0},
        {"name looked up", "localhost", "", 1},
        {"proxy instead of the host", "origin.invalid", "127.0.0.1", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(holdOpen);
        int lookUps = 0, connects = 0, disconnects = 0;
        sock.onHostResolved = [&](TcpClient&) { ++lookUps; };
        sock.onConnect = [&](TcpClient&) { ++connects; };
        sock.onDisconnect = [&](TcpClient&) { ++disconnects; };
        sock.host = row.host;
        sock.proxy = row.proxy;
        sock.port = *row.proxy ? 1 : server.port();
        sock.proxyPort = server.port();
        pump.passes = 0;
        sock.connect();
        EXPECT_TRUE(sock.connected());
        EXPECT_EQ(sock.address(), htonl(INADDR_LOOPBACK));
        EXPECT_EQ(lookUps, row.lookUps);
        EXPECT_EQ(connects, 1);
        EXPECT_GT(pump.passes, 0);  // the wait ran the program's events
        sock.disconnect();
        EXPECT_FALSE(sock.connected());
        EXPECT_EQ(disconnects, 1);
    }
}

TEST(TcpClientConnect, FailuresSayWhyFireTheirEventsAndAFreshSocketConnectsLater) {
    enum class Port { Server, Unused, BeyondSixteenBits, ServerAlreadyConnected };
    enum class Handler { None, LeavesHandled, HandledUnchanged, FixesHost };
    const struct {
        const char* name;
        const char* host;
        Port port;
        Handler handler;
        bool cancel;
        const char* error;
        const char* events;
    } rows[] = {
        {"refused", "127.0.0.1", Port::Unused, Handler::None, false, "Connection Failed",
         "failed "},
        // 65536 + the server's port would otherwise reach the server.
        {"port beyond 16 bits is refused, not cut to another", "127.0.0.1",
         Port::BeyondSixteenBits, Handler::None, false, "10022:Invalid argument", ""},
        {"second connect while connected", "127.0.0.1", Port::ServerAlreadyConnected,
         Handler::None, false, "Already connected", ""},
        {"invalid host, no handler", "nowhere.invalid", Port::Server, Handler::None, false,
         "Null Remote Address", ""},
        {"invalid host, handler leaves Handled false", "nowhere.invalid", Port::Server,
         Handler::LeavesHandled, false, "Null Remote Address", "invalid "},
        {"invalid host, Handled but the name still fails", "nowhere.invalid", Port::Server,
         Handler::HandledUnchanged, false, "Null Remote Address", "invalid "},
        {"invalid host, handler gives a good host", "nowhere.invalid", Port::Server,
         Handler::FixesHost, false, "no error", "invalid "},
        {"look-up time-out", "slow.example", Port::Server, Handler::HandledUnchanged, false,
         "Host Lookup Timed Out", ""},
        {"look-up cancelled during the wait", "slow.example", Port::Server,
         Handler::HandledUnchanged, true, "Host Lookup Canceled", ""},
    };
    corvalo::testing::DnsServer silent;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(holdOpen, 2);
        TestPump pump;
        SteadyClock clock;
        TcpClient sock(pump, clock, silent.options());
        const bool lookUpTimesOut = !row.cancel && std::string_view(row.host) == "slow.example";
        sock.timeoutMs = lookUpTimesOut ? 100 : kHungMs;
        std::string events;
        sock.onConnectionFailed = [&](TcpClient&) { events += "failed "; };
        if (row.handler != Handler::None) {
            sock.onInvalidHost = [&](bool& handled) {
                events += "invalid ";
                handled = row.handler != Handler::LeavesHandled;
                if (row.handler == Handler::FixesHost) sock.host = "127.0.0.1";
            };
        }
        pump.onPass = [&] {
            if (row.cancel && pump.passes == 3) sock.cancel();
        };
        sock.host = "127.0.0.1";
        sock.port = server.port();
        if (row.port == Port::ServerAlreadyConnected) sock.connect();
        if (row.port == Port::Unused) sock.port = corvalo::testing::unusedPort();
        if (row.port == Port::BeyondSixteenBits) sock.port += 65536;
        sock.host = row.host;
        EXPECT_EQ(errorText([&] { sock.connect(); }), row.error);
        EXPECT_EQ(events, row.events);
        if (row.port == Port::Unused) {
            EXPECT_EQ(sock.lastError(), 10061);
        }
        sock.disconnect();
        sock.host = "127.0.0.1";
        sock.port = server.port();
        sock.connect();
        EXPECT_TRUE(sock.connected());
    }
}

TEST_F(TcpClientTest, StatusIsReportedUpToTheReportLevel) {
    LoopbackServer server(holdOpen, 2);
    std::vector<std::string> reported;
    sock.onStatus = [&](TcpClient&, const std::string& s) { reported.push_back(s); };
    const auto has = [&](const char* s) {
        return std::find(reported.begin(), reported.end(), s) != reported.end();
    };
    sock.reportLevel = StatusLevel::Transfer;
    connectTo(server);
    sock.disconnect();
    EXPECT_TRUE(has("Request Close Socket"));
    EXPECT_FALSE(has("Connecting"));
    sock.reportLevel = StatusLevel::Detail;
    connectTo(server);
    EXPECT_TRUE(has("Connecting"));
    EXPECT_EQ(sock.status(), "Timer Off");
}

TEST(TcpClientLibrary, CountsLiveComponentsAndDestroyingAConnectedOneFiresNoEvent) {
    ASSERT_EQ(TcpClient::liveCount(), 0);
    LoopbackServer server(holdOpen);
    TestPump pump;
    SteadyClock clock;
    int events = 0;
    {
        TcpClient first(pump, clock, hostsFileOnly());
        TcpClient second(pump, clock, hostsFileOnly());
        EXPECT_EQ(TcpClient::liveCount(), 2);
        EXPECT_EQ(first.libraryInfo().size(), 6u);
        EXPECT_TRUE(second.libraryInfo().empty());
        second.host = "127.0.0.1";
        second.port = server.port();
        second.connect();
        second.onDisconnect = [&](TcpClient&) { ++events; };
        second.onStatus = [&](TcpClient&, const std::string&) { ++events; };
        second.reportLevel = StatusLevel::Detail;
    }
    EXPECT_EQ(TcpClient::liveCount(), 0);
    EXPECT_EQ(events, 0);
}

TEST(TcpClientSocket, IsMadeByConnectWhoseFailureFiresNoEventAndPassesLater) {
#ifdef CORVALO_SANITIZED
    GTEST_SKIP() << "UBSan checks each object's type through a pipe, which needs a descriptor";
#endif
    LoopbackServer server(holdOpen);
    TestPump pump;
    SteadyClock clock;
    std::optional<TcpClient> sock;
    int events = 0;
    {
        struct Restore {
            rlimit limit{};
            ~Restore() { ::setrlimit(RLIMIT_NOFILE, &limit); }
        } saved;
        ::getrlimit(RLIMIT_NOFILE, &saved.limit);
        const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        ::close(lowestFree);
        // No new descriptor can be made while the limit is the lowest free one.
        rlimit lowered = saved.limit;
        lowered.rlim_cur = static_cast<rlim_t>(lowestFree);
        ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
        // The program's window makes its client at start: that must never fail.
        sock.emplace(pump, clock, hostsFileOnly());
        sock->onConnectionFailed = [&](TcpClient&) { ++events; };
        sock->onInvalidHost = [&](bool&) { ++events; };
        sock->host = "127.0.0.1";
        sock->port = server.port();
        EXPECT_EQ(errorText([&] { sock->connect(); }), "Initializaton of windows sockets failed");
        EXPECT_EQ(sock->lastError(), 10024);  // too many open files
    }
    EXPECT_EQ(events, 0);
    sock->connect();
    EXPECT_TRUE(sock->connected());
}

TEST_F(TcpClientTest, ReadLineKeepsLineEndsAndTheStartOfAnOverlongLine) {
    LoopbackServer server([](ServerConnection& c, int) {
        c.send(std::string(200000, 'x') + "\r\n");
        c.send("one\r\ntwo\nthree");  // the last line has no end: the peer closes
    });
    connectTo(server);
    EXPECT_EQ(sock.readLine(), std::string(TcpClient::kBufferSize, 'x'));
    EXPECT_EQ(sock.readLine(), "one\r\n");
    EXPECT_EQ(sock.readLine(), "two\n");
    EXPECT_TRUE(sock.dataAvailable());
    EXPECT_EQ(sock.readLine(), "");
    EXPECT_FALSE(sock.dataAvailable());
}

TEST_F(TcpClientTest, WaitsEndWithAbortByTimeOutOrCancel) {
    const struct {
        const char* name;
        bool capture;
        bool cancel;
        const char* error;
    } rows[] = {
        {"readLine time-out", false, false, "Socket readln aborted"},
        {"readLine cancel", false, true, "Socket readln aborted"},
        {"capture time-out", true, false, "Socket capture aborted"},
        {"capture cancel", true, true, "Socket capture aborted"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(holdOpen);  // accepts and never answers
        sock.timeoutMs = kHungMs;
        connectTo(server);
        sock.timeoutMs = row.cancel ? kHungMs : 150;
        pump.passes = 0;
        pump.onPass = [&] {
            if (row.cancel && pump.passes == 5) sock.cancel();
        };
        std::string text;
        EXPECT_EQ(errorText<TransferAborted>([&] {
                      if (row.capture) sock.captureString(text, -1);
                      if (!row.capture) text = sock.readLine();
                  }),
                  row.error);
        EXPECT_EQ(sock.timedOut(), !row.cancel);
        EXPECT_FALSE(sock.canceled());  // each abort clears it for the next wait
        sock.disconnect();
    }
    sock.timeoutMs = -1;
    EXPECT_EQ(errorText([&] { sock.readLine(); }), "Range check error");
}

TEST_F(TcpClientTest, CaptureTakesEachPieceUntilThePeerClosesAndThenClosesOurs) {
    const std::string body = "1.01 version text\r\n";
    std::atomic<std::int64_t> taken{0};
    LoopbackServer server([&](ServerConnection& c, int) { c.sendEachByteOnceTaken(body, taken); });
    connectTo(server);
    pump.onPass = [&] { taken = sock.bytesReceived(); };
    int pieces = 0, disconnects = 0;
    sock.onPacketReceived = [&](TcpClient&) { ++pieces; };
    sock.onDisconnect = [&](TcpClient&) { ++disconnects; };
    std::string text;
    sock.captureString(text, -1);
    EXPECT_EQ(text, body);
    EXPECT_EQ(sock.bytesReceived(), 19);
    EXPECT_EQ(pieces, 19);
    EXPECT_FALSE(sock.connected());
    EXPECT_EQ(disconnects, 1);
}

TEST_F(TcpClientTest, CaptureStopsAtTheLargestLengthWanted) {
    LoopbackServer server([](ServerConnection& c, int) {
        c.send(std::string(100000, 'b'));
        c.waitForClose();
    });
    connectTo(server);
    std::string text;
    sock.captureString(text, 1000);
    EXPECT_EQ(text, std::string(1000, 'b'));
}

TEST_F(TcpClientTest, WriteSendsOnlyTheBytesBeforeTheNul) {
    LoopbackServer server([](ServerConnection& c, int) {
        c.readBytes(8);
        c.send("ok\n");
        c.waitForClose();
    });
    connectTo(server);
    sock.write(std::string("abc\0def", 7));
    EXPECT_EQ(errorText([&] { sock.write(std::string(TcpClient::kMaxWrite + 1, 'z')); }),
              "Range check error");
    sock.writeln("end");
    // Closing resets the connection, which drops what the server has not read yet.
    EXPECT_EQ(sock.readLine(), "ok\n");
    EXPECT_EQ(server.requests(), std::vector<std::string>{"abcend\r\n"});
}

TEST_F(TcpClientTest, SendToAPeerThatNeverReadsEndsByTheTimeOut) {
    LoopbackServer server([](ServerConnection& c, int) { c.waitForCloseUnread(); });
    connectTo(server);
    sock.timeoutMs = 200;
    const std::string block(TcpClient::kMaxWrite, 's');
    // Loopback buffers hold a few megabytes; 64 MiB cannot fit.
    EXPECT_EQ(errorText<TransferAborted>([&] {
                  for (int i = 0; i < 1024; ++i) sock.write(block);
              }),
              "Socket send aborted");
    EXPECT_TRUE(sock.timedOut());
}

TEST_F(TcpClientTest, SendFileAndCaptureFileCarryEveryByte) {
    corvalo::testing::TempDir dir;
    std::string content(200000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    corvalo::testing::writeFile(dir / "out.bin", content);
    LoopbackServer server([&](ServerConnection& c, int) {
        c.send(c.readBytes(content.size()));  // echoed back for captureFile
    });
    connectTo(server);
    int packets = 0;
    sock.onPacketSent = [&](TcpClient&) { ++packets; };
    sock.sendFile((dir / "out.bin").string());
    EXPECT_EQ(sock.bytesSent(), 200000);
    sock.captureFile((dir / "in.bin").string());
    EXPECT_GE(packets, 1);
    EXPECT_TRUE(server.requests().at(0) == content);
    EXPECT_TRUE(corvalo::testing::readFile(dir / "in.bin") == content);
}

TEST_F(TcpClientTest, TransactionReadsTheReplyNumberFromUpToTenLeadingDigits) {
    const struct {
        const char* name;
        std::string reply;
        std::int64_t number;
    } rows[] = {
        {"three digits", "250 OK here\r\n", 250},
        {"ten digits, beyond 32 bits", "9999999999\r\n", 9999999999},
        {"only the first ten of eleven", "12345678901\r\n", 1234567890},
        {"no leading digit", "OK 250\r\n", 0},
    };
    LoopbackServer server([&](ServerConnection& c, int) {
        for (const auto& row : rows) {
            if (c.readBytes(6).empty() || !c.send(row.reply)) return;
        }
        c.waitForClose();
    });
    connectTo(server);
    sock.reportLevel = StatusLevel::Reply;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(sock.transaction("NOOP"), row.reply);
        EXPECT_EQ(sock.replyNumber(), row.number);
        EXPECT_EQ(sock.status(), row.reply);
    }
    sock.disconnect();
    EXPECT_EQ(server.requests(), std::vector<std::string>(4, "NOOP\r\n"));
}

}  // namespace
}  // namespace corvalo::net
