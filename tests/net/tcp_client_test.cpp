#include "net/tcp_client.h"

#include <algorithm>
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

namespace corvalo::net {
namespace {

using corvalo::testing::errorText;
using corvalo::testing::holdOpen;
using corvalo::testing::hostsFileOnly;
using corvalo::testing::LoopbackServer;
using corvalo::testing::TestPump;

class TcpClientTest : public ::testing::Test {
  protected:
    TcpClientTest() { sock.timeoutMs = corvalo::testing::kHungMs; }
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
        sock.timeoutMs = lookUpTimesOut ? 100 : corvalo::testing::kHungMs;
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
#ifdef CORVALO_SANITIZED
    GTEST_SKIP() << "UBSan checks each object's type through a pipe, which needs a descriptor";
#endif
    LoopbackServer server(holdOpen);
    TestPump pump;
    SteadyClock clock;
    std::optional<TcpClient> sock;
    int events = 0;
    {
        NoNewDescriptors limit;
        ASSERT_TRUE(limit.lowered());
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

}  // namespace
}  // namespace corvalo::net
