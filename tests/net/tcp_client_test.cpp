#include "net/tcp_client.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "net/dns_server.h"
#include "net/loopback_server.h"
#include "net/test_pump.h"
#include "support/temp_dir.h"

namespace corvalo::net {
namespace {

using corvalo::testing::LoopbackServer;
using corvalo::testing::ServerConnection;
using corvalo::testing::SilentDnsServer;
using corvalo::testing::TestPump;

using corvalo::testing::hostsFileOnly;

class TcpClientTest : public ::testing::Test {
  protected:
    void connectTo(const LoopbackServer& server) {
        sock.host = "127.0.0.1";
        sock.port = server.port();
        sock.connect();
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
    sock.connect();
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
    sock.connect();
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
            sock.connect();
            EXPECT_TRUE(sock.connected());
        } else {
            try {
                sock.connect();
                ADD_FAILURE() << "connected";
            } catch (const SocketError& e) {
                EXPECT_STREQ(e.what(), "Null Remote Address");
            }
        }
        EXPECT_EQ(events, row.events);
    }
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
        sock.timeoutMs = row.timeOut;
        int invalid = 0, failed = 0;
        sock.onInvalidHost = [&](bool&) { ++invalid; };
        sock.onConnectionFailed = [&](TcpClient&) { ++failed; };
        if (row.cancel) {
            pump.onPass = [&] {
                if (pump.passes == 3) sock.cancel();
            };
        }
        try {
            sock.connect();
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
        sock.connect();
        ADD_FAILURE() << "connected";
    } catch (const SocketError& e) {
        EXPECT_STREQ(e.what(), "Connection Failed");
    }
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(sock.lastError(), 10061);
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
        sock.connect();
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
        sock.connect();
        ADD_FAILURE() << "connected twice";
    } catch (const SocketError& e) {
        EXPECT_STREQ(e.what(), "Already connected");
    }
}

TEST_F(TcpClientTest, ReadLineKeepsLineEndsAndGivesEmptyForAnUnendedLastLine) {
    LoopbackServer server([](ServerConnection& c, int) { c.send("one\r\ntwo\nthree"); });
    connectTo(server);
    EXPECT_EQ(sock.readLine(), "one\r\n");
    EXPECT_EQ(sock.readLine(), "two\n");
    EXPECT_EQ(sock.readLine(), "");
}

TEST_F(TcpClientTest, ReadLineKeepsTheStartOfALineLongerThanTheBuffer) {
    const std::string longLine(200000, 'x');
    LoopbackServer server([&](ServerConnection& c, int) { c.send(longLine + "\r\nnext\r\n"); });
    connectTo(server);
    const std::string first = sock.readLine();
    EXPECT_EQ(first.size(), TcpClient::kBufferSize);
    EXPECT_EQ(first.find_first_not_of('x'), std::string::npos);
    EXPECT_EQ(sock.readLine(), "next\r\n");
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
        s.connect();
        s.timeoutMs = row.cancel ? 0 : 150;
        if (row.cancel) {
            pump.onPass = [&] {
                if (pump.passes == 5) s.cancel();
            };
        }
        try {
            std::string text;
            if (row.op == Op::ReadLn) {
                text = s.readLine();
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
    sock.timeoutMs = -1;
    try {
        sock.readLine();
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
    sock.onPacketReceived = [&](TcpClient&) { ++pieces; };
    std::string text;
    sock.captureString(text, -1);
    EXPECT_EQ(text, body);
    EXPECT_EQ(sock.bytesReceived(), static_cast<std::int64_t>(body.size()));
    EXPECT_GE(pieces, 1);
}

TEST_F(TcpClientTest, PeerCloseWithNothingLeftClosesOurs) {
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
        sock.connect();
        sock.write(std::string("abc\0def", 7));
        EXPECT_THROW(sock.write(std::string(TcpClient::kMaxWrite + 1, 'z')), corvalo::Error);
        sock.writeln("end");
        // Closing resets the connection, which drops what the server has not read yet.
        EXPECT_EQ(sock.readLine(), "ok\n");
        sock.disconnect();
    }
    EXPECT_EQ(received, "abcend\r\n");
}

TEST_F(TcpClientTest, SendToAPeerThatNeverReadsEndsByTheTimeOut) {
    LoopbackServer server([](ServerConnection& c, int) { c.waitForCloseUnread(); });
    connectTo(server);
    sock.timeoutMs = 200;
    const std::string block(TcpClient::kMaxWrite, 's');
    try {
        // Loopback buffers hold a few megabytes; 64 MiB cannot fit.
        for (int i = 0; i < 1024; ++i) sock.write(block);
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
        sock.connect();
        sock.sendFile((dir / "out.bin").string());
        EXPECT_EQ(sock.bytesSent(), static_cast<std::int64_t>(content.size()));
        sock.captureFile((dir / "in.bin").string());
    }
    EXPECT_GE(packets, 1);
    EXPECT_TRUE(received == content);
    EXPECT_TRUE(corvalo::testing::readFile(dir / "in.bin") == content);
}

TEST(TcpClientTransaction, ReadsTheReplyNumberFromUpToTenLeadingDigits) {
    const struct {
        const char* name;
        std::string reply;
        std::int64_t number;
    } rows[] = {
        {"three digits", "250 OK here\r\n", 250},
        {"beyond 16 bits", "70000 big\r\n", 70000},
        {"ten digits", "9999999999\r\n", 9999999999},
        {"only the first ten of eleven", "12345678901\r\n", 1234567890},
        {"no leading digit", "OK 250\r\n", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string command;
        LoopbackServer server([&](ServerConnection& c, int) {
            command = c.readBytes(6);
            c.send(row.reply);
            c.waitForClose();
        });
        TestPump pump;
        SteadyClock clock;
        TcpClient sock(pump, clock, hostsFileOnly());
        sock.host = "127.0.0.1";
        sock.port = server.port();
        sock.connect();
        sock.reportLevel = StatusLevel::Reply;
        EXPECT_EQ(sock.transaction("NOOP"), row.reply);
        EXPECT_EQ(sock.replyNumber(), row.number);
        EXPECT_EQ(sock.status(), row.reply);
        sock.disconnect();
        EXPECT_EQ(command, "NOOP\r\n");
    }
}

TEST_F(TcpClientTest, DataAvailableTellsWhetherABytesWaits) {
    LoopbackServer server([](ServerConnection& c, int) {
        c.send("hello\nx");
        c.waitForClose();
    });
    connectTo(server);
    EXPECT_EQ(sock.readLine(), "hello\n");
    EXPECT_TRUE(sock.dataAvailable());
    std::string text;
    sock.captureString(text, 1);
    EXPECT_FALSE(sock.dataAvailable());
}

TEST_F(TcpClientTest, StatusIsReportedUpToTheReportLevel) {
    LoopbackServer server(holdOpen);
    std::vector<std::string> reported;
    sock.onStatus = [&](TcpClient&, const std::string& s) { reported.push_back(s); };
    sock.reportLevel = StatusLevel::Transfer;
    connectTo(server);
    sock.disconnect();
    const auto has = [&](const char* s) {
        return std::find(reported.begin(), reported.end(), s) != reported.end();
    };
    EXPECT_TRUE(has("Request Close Socket"));
    EXPECT_FALSE(has("Connecting"));
    sock.reportLevel = StatusLevel::Detail;
    connectTo(server);
    EXPECT_TRUE(has("Connecting"));
    EXPECT_EQ(sock.status(), "Timer Off");
}

TEST(TcpClientLibrary, CountsLiveComponentsAndTheFirstDescribesTheLibrary) {
    ASSERT_EQ(TcpClient::liveCount(), 0);
    TestPump pump;
    SteadyClock clock;
    {
        TcpClient first(pump, clock, hostsFileOnly());
        EXPECT_EQ(first.libraryInfo().size(), 6u);
        TcpClient second(pump, clock, hostsFileOnly());
        EXPECT_EQ(TcpClient::liveCount(), 2);
        EXPECT_TRUE(second.libraryInfo().empty());
    }
    EXPECT_EQ(TcpClient::liveCount(), 0);
}

// While it lives no new descriptor can be made: the process is at its limit.
class NoNewDescriptors {
  public:
    NoNewDescriptors() {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        ::close(lowestFree);
        rlimit lowered = saved_;
        lowered.rlim_cur = static_cast<rlim_t>(lowestFree);
        lowered_ = lowestFree >= 0 && ::setrlimit(RLIMIT_NOFILE, &lowered) == 0;
    }
    ~NoNewDescriptors() { ::setrlimit(RLIMIT_NOFILE, &saved_); }
    NoNewDescriptors(const NoNewDescriptors&) = delete;
    NoNewDescriptors& operator=(const NoNewDescriptors&) = delete;
    bool lowered() const { return lowered_; }

  private:
    rlimit saved_{};
    bool lowered_ = false;
};

TEST(TcpClientSocket, IsMadeByConnectWhoseFailureFiresNoEventAndPassesLater) {
    LoopbackServer server(holdOpen);
    TestPump pump;
    SteadyClock clock;
    std::optional<TcpClient> sock;
    int events = 0;
    {
        NoNewDescriptors limit;
        ASSERT_TRUE(limit.lowered());
        // The program's window makes its client at start: that must never fail.
        EXPECT_NO_THROW(sock.emplace(pump, clock, hostsFileOnly()));
        ASSERT_TRUE(sock.has_value());
        sock->onConnectionFailed = [&](TcpClient&) { ++events; };
        sock->onInvalidHost = [&](bool&) { ++events; };
        sock->host = "127.0.0.1";
        sock->port = server.port();
        try {
            sock->connect();
            ADD_FAILURE() << "connected";
        } catch (const SocketError& e) {
            EXPECT_STREQ(e.what(), "Initializaton of windows sockets failed");
        }
        EXPECT_EQ(sock->lastError(), 10024);  // too many open files
    }
    EXPECT_EQ(events, 0);
    sock->connect();
    EXPECT_TRUE(sock->connected());
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
        sock.connect();
        sock.onDisconnect = [&](TcpClient&) { ++events; };
        sock.onStatus = [&](TcpClient&, const std::string&) { ++events; };
        sock.reportLevel = StatusLevel::Detail;
    }
    EXPECT_EQ(events, 0);
}

}  // namespace
}  // namespace corvalo::net
