// The socket layer: the client, its host look-ups and its time-out timer.
#include "net/tcp_client.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "net/loopback_server.h"
#include "net/test_pump.h"
#include "support/temp_dir.h"

namespace corvalo::net {
namespace {

using namespace corvalo::testing;

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

// Each row connects once, disconnects, and then connects again with a fresh socket.
TEST(TcpClientConnect, SaysWhyItFailedFiresItsEventsAndConnectsAgainLater) {
    enum class Case { Ok, Proxy, Refused, Wide, Twice, NoHandler, Handled, Fixed, Slow, Cancel };
    using enum Case;
    const struct {
        const char* name;
        Case what;
        const char* host;
        const char* error;
        const char* events;
    } rows[] = {
        {"dotted address, no look-up", Ok, "127.0.0.1", "", "connect "},
        {"name looked up", Ok, "localhost", "", "resolved connect "},
        {"proxy instead of the host", Proxy, "origin.invalid", "", "connect "},
        {"refused", Refused, "127.0.0.1", "Connection Failed", "failed "},
        // 65536 + the server's port would otherwise reach the server.
        {"port beyond 16 bits", Wide, "127.0.0.1", "10022:Invalid argument", ""},
        {"second connect while connected", Twice, "127.0.0.1", "Already connected", ""},
        {"invalid host, no handler", NoHandler, "nowhere.invalid", "Null Remote Address", ""},
        {"invalid host stays, Handled", Handled, "x.invalid", "Null Remote Address", "invalid "},
        {"invalid host, handler sets a good one", Fixed, "x.invalid", "", "invalid connect "},
        {"look-up time-out", Slow, "slow.example", "Host Lookup Timed Out", ""},
        {"look-up cancelled during the wait", Cancel, "slow.example", "Host Lookup Canceled", ""},
    };
    DnsServer silent;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(holdOpen, 2);
        TestPump pump;
        SteadyClock clock;
        TcpClient sock(pump, clock, silent.options());
        sock.timeoutMs = row.what == Slow ? 100 : kHungMs;
        sock.reportLevel = StatusLevel::Transfer;
        std::string events;
        sock.onHostResolved = [&](TcpClient&) { events += "resolved "; };
        sock.onConnect = [&](TcpClient&) { events += "connect "; };
        sock.onConnectionFailed = [&](TcpClient&) { events += "failed "; };
        sock.onDisconnect = [&](TcpClient&) { events += "disconnect "; };
        sock.onStatus = [&](TcpClient&, const std::string& status) { events += status + " "; };
        if (row.what != NoHandler) {
            sock.onInvalidHost = [&](bool& handled) {
                events += "invalid ";
                handled = true;
                if (row.what == Fixed) sock.host = "127.0.0.1";
            };
        }
        pump.onPass = [&] {
            if (row.what == Cancel && pump.passes == 3) sock.cancel();
        };
        sock.host = "127.0.0.1";
        sock.port = server.port();
        if (row.what == Twice) sock.connect();
        if (row.what == Refused) sock.port = unusedPort();
        if (row.what == Wide) sock.port += 65536;
        if (row.what == Proxy) sock.port = 1;
        sock.proxy = row.what == Proxy ? "127.0.0.1" : "";
        sock.proxyPort = server.port();
        sock.host = row.host;
        events.clear();
        EXPECT_EQ(errorText([&] { sock.connect(); }), row.error);
        sock.disconnect();
        // Steps of the Detail level, such as "Connecting", are not reported.
        EXPECT_EQ(events, std::string(row.events) + "Request Close Socket disconnect ");
        sock.host = "127.0.0.1";
        sock.port = server.port();
        sock.proxy.clear();
        sock.connect();
        EXPECT_TRUE(sock.connected());
    }
}

// The window makes its client at start: that must never fail, even without descriptors.
TEST(TcpClientSocket, IsMadeByConnectWhoseFailureFiresNoEventAndPassesLater) {
#ifdef CORVALO_SANITIZED
    GTEST_SKIP() << "UBSan checks each object's type through a pipe, which needs a descriptor";
#endif
    LoopbackServer server(holdOpen);
    TestPump pump;
    SteadyClock clock;
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(lowestFree);
    rlimit lowered = saved;  // no descriptor can be made while the limit is the lowest free one
    lowered.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    TcpClient sock(pump, clock, hostsFileOnly());
    int events = 0;
    sock.onConnectionFailed = [&](TcpClient&) { ++events; };
    sock.onInvalidHost = [&](bool&) { ++events; };
    sock.host = "127.0.0.1";
    sock.port = server.port();
    const std::string error = errorText([&] { sock.connect(); });
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(error, "Initializaton of windows sockets failed");
    EXPECT_EQ(sock.lastError(), 10024);  // too many open files
    EXPECT_EQ(events, 0);
    sock.connect();
    EXPECT_TRUE(sock.connected());
}

TEST_F(TcpClientTest, WriteTransactionAndReadLineKeepTheirBytesAndLineEnds) {
    LoopbackServer server([](ServerConnection& c, int) {
        if (c.readBytes(9).empty() || !c.send("250 OK here\r\n") || c.readBytes(6).empty()) return;
        c.send("99999999999\r\n" + std::string(200000, 'x') + "\r\n");
        c.send("one\r\ntwo\nthree");  // the last line has no end: the peer closes
    });
    connectTo(server);
    sock.write(std::string("abc\0def", 7));
    EXPECT_EQ(errorText([&] { sock.write(std::string(TcpClient::kMaxWrite + 1, 'z')); }),
              "Range check error");
    sock.reportLevel = StatusLevel::Reply;
    EXPECT_EQ(sock.transaction("NOOP"), "250 OK here\r\n");
    EXPECT_EQ(sock.replyNumber(), 250);
    EXPECT_EQ(sock.status(), "250 OK here\r\n");
    sock.transaction("NOOP");
    EXPECT_EQ(sock.replyNumber(), 9999999999);  // the first ten digits, beyond 32 bits
    EXPECT_EQ(server.requests(), (std::vector<std::string>{"abcNOOP\r\n", "NOOP\r\n"}));
    EXPECT_EQ(sock.readLine(), std::string(TcpClient::kBufferSize, 'x'));
    EXPECT_EQ(sock.readLine(), "one\r\n");
    EXPECT_EQ(sock.readLine(), "two\n");
    EXPECT_TRUE(sock.dataAvailable());
    EXPECT_EQ(sock.readLine(), "");
    EXPECT_FALSE(sock.dataAvailable());
}

TEST_F(TcpClientTest, WaitsEndWithAbortByTimeOutOrCancel) {
    enum class Wait { ReadLine, Capture, Send };
    const struct {
        const char* name;
        Wait wait;
        bool cancel;
        const char* error;
    } rows[] = {
        {"readLine time-out", Wait::ReadLine, false, "Socket readln aborted"},
        {"capture cancel", Wait::Capture, true, "Socket capture aborted"},
        // Loopback buffers hold a few megabytes; 64 MiB cannot fit.
        {"send to a peer that never reads, time-out", Wait::Send, false, "Socket send aborted"},
    };
    const std::string block(TcpClient::kMaxWrite, 's');
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(holdOpen);  // never reads, never answers
        sock.timeoutMs = kHungMs;
        connectTo(server);
        sock.timeoutMs = row.cancel ? kHungMs : 150;
        pump.passes = 0;
        pump.onPass = [&] {
            if (row.cancel && pump.passes == 5) sock.cancel();
        };
        std::string text;
        EXPECT_EQ(errorText<TransferAborted>([&] {
                      if (row.wait == Wait::ReadLine) text = sock.readLine();
                      if (row.wait == Wait::Capture) sock.captureString(text, -1);
                      for (int i = 0; row.wait == Wait::Send && i < 1024; ++i) sock.write(block);
                  }),
                  row.error);
        EXPECT_EQ(sock.timedOut(), !row.cancel);
        EXPECT_FALSE(sock.canceled());  // each abort clears it for the next wait
        sock.disconnect();
    }
    sock.timeoutMs = -1;
    EXPECT_EQ(errorText([&] { sock.readLine(); }), "Range check error");
}

// A look-up reads the resolver configuration as it is then; a name under the reserved
// .invalid domain fails at once, so the first question the server sees is the later one.
// The library runs from the first resolver made to the last gone.
TEST(HostResolver, AsksWithTheSearchDomainOfTheMomentAndNeverForInvalidNames) {
    ASSERT_FALSE(ResolverLibrary::running());
    const int startsBefore = ResolverLibrary::starts();
    {
        DnsServer dns;
        TempDir dir;
        writeFile(dir / "resolv.conf", "search old.test\n");
        HostResolver::Options options = dns.options();
        options.resolvConf = (dir / "resolv.conf").string();
        HostResolver resolver(options);
        {
            HostResolver second(hostsFileOnly());
            EXPECT_TRUE(resolver.library().startedHere());
            EXPECT_FALSE(second.library().startedHere());
        }
        for (const char* name : {"update.corvalo.invalid", "X.INVALID.", "invalid"}) {
            SCOPED_TRACE(name);
            resolver.start(name);
            EXPECT_FALSE(resolver.busy());
            EXPECT_FALSE(resolver.succeeded());
        }
        resolver.start("update");
        EXPECT_EQ(dns.nextQuestion(), "\6update\3old\4test");
        writeFile(dir / "resolv.conf", "search new.test\n");  // the user's network changes
        resolver.start("update");
        EXPECT_EQ(dns.nextQuestion(), "\6update\3new\4test");
    }
    EXPECT_FALSE(ResolverLibrary::running());
    EXPECT_EQ(ResolverLibrary::starts(), startsBefore + 1);
}

TEST(TimeoutTimer, RunsWhenBoundEnabledAndNonZeroAndCountsFromTheLastStart) {
    FakeClock clock;
    TimeoutTimer timer{clock};
    int ticks = 0;
    const auto ticksAfter = [&](std::int64_t ms) {
        clock.now += ms;
        timer.poll();
        return ticks;
    };
    EXPECT_FALSE(timer.running());  // enabled, but not bound
    ticksAfter(5000);
    timer.setOnTimer([&](TimeoutTimer&) { ++ticks; });
    EXPECT_EQ(ticksAfter(999), 0);  // counted from the binding
    EXPECT_EQ(ticksAfter(1), 1);
    EXPECT_EQ(ticksAfter(1000), 2);  // and again from the tick
    timer.setInterval(100);
    ticksAfter(90);
    timer.setEnabled(true);  // a time-out restarted by each received piece
    EXPECT_EQ(ticksAfter(90), 2);
    EXPECT_EQ(ticksAfter(10), 3);
    timer.setInterval(0);
    EXPECT_EQ(timer.msUntilDue(), -1);
    timer.setInterval(100);
    timer.setEnabled(false);
    EXPECT_EQ(ticksAfter(10000), 3);
    // A handler may switch its timer off, as the client's time-out does.
    timer.setOnTimer([&](TimeoutTimer& t) {
        ++ticks;
        t.setEnabled(false);
    });
    timer.setEnabled(true);
    ticksAfter(100);
    EXPECT_EQ(ticksAfter(100), 4);
    EXPECT_FALSE(timer.running());
}

}  // namespace
}  // namespace corvalo::net
