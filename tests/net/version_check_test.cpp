#include "net/version_check.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/loopback_server.h"
#include "net/test_pump.h"

namespace corvalo::net {
namespace {

using corvalo::testing::hostsFileOnly;
using corvalo::testing::httpReply;
using corvalo::testing::LoopbackServer;
using corvalo::testing::respond;
using corvalo::testing::ServerConnection;
using corvalo::testing::TestPump;

const std::string kSame =
    " There is no new version available.\r\n You currently have the latest version. ";

std::string newer(const std::string& four) {
    return " A newer version of corvalo.exe exists! (" + four +
           ")\r\n Download link: dl.example/corvalo/install.exe";
}

class RecordingSink final : public VersionMessageSink {
  public:
    void showVersionMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

VersionCheckConfig configFor(const std::string& updateHost) {
    VersionCheckConfig config;
    config.updateHost = updateHost;
    config.downloadHost = "dl.example";
    config.exeName = "corvalo.exe";
    return config;
}

void holdOpen(ServerConnection& c, int) {
    c.waitForClose();
}

TEST(VersionCheck, ShowsOneMessageForEachReply) {
    const struct {
        const char* name;
        std::string reply;
        std::string message;
    } rows[] = {
        {"same version, anything after it", httpReply("200 OK", "", "1.01 (build 7)\r\n"), kSame},
        {"newer version", httpReply("200 OK", "", "1.02\r\n"), newer("1.02")},
        {"a lower version counts as newer", httpReply("200 OK", "", "1.00"), newer("1.00")},
        {"a look-alike character differs", httpReply("200 OK", "", "1.0l"), newer("1.0l")},
        {"short body takes part as it is", httpReply("200 OK", "", "1."), newer("1.")},
        {"empty body of a success", httpReply("200 OK", "", ""), newer("")},
        {"no reply at all is a failure", "", "Version request error: Operation Failed."},
        {"404", httpReply("404 Not Found", "", "1.01"),
         "Version request error: Operation Failed."},
        {"redirect loop shows why it stopped",
         httpReply("301 Moved", "Location: /versions/corvalo.htm\r\n", ""),
         "Version request error: Too many redirections"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(respond(row.reply), HttpClient::kMaxExchanges);
        TestPump pump;
        SteadyClock clock;
        RecordingSink sink;
        VersionCheck check(pump, clock, sink, configFor(server.hostPort()), hostsFileOnly());
        check.run("", "");
        EXPECT_EQ(sink.messages, std::vector<std::string>{row.message});
        ASSERT_GE(server.requests().size(), 1u);
        EXPECT_EQ(server.requests()[0].substr(0, 40),
                  "GET /versions/corvalo.htm HTTP/1.0\r\nHost");
    }
}

TEST(VersionCheck, ConnectionFailuresShowTheirEventsText) {
    const struct {
        const char* name;
        std::string host;
        std::string message;
    } rows[] = {
        {"refused", "127.0.0.1:" + std::to_string(corvalo::testing::unusedPort()),
         "Version request error: Connection Failed."},
        {"name under .invalid", "update.corvalo.invalid", "Version request error: Invalid Host."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TestPump pump;
        SteadyClock clock;
        RecordingSink sink;
        VersionCheck check(pump, clock, sink, configFor(row.host), hostsFileOnly());
        check.run("", "");
        EXPECT_EQ(sink.messages, std::vector<std::string>{row.message});
    }
}

TEST(VersionCheck, GoesThroughTheProxyWithTheWholeUrl) {
    LoopbackServer proxy(respond(httpReply("200 OK", "", "1.01")), 2);
    TestPump pump;
    SteadyClock clock;
    RecordingSink sink;
    VersionCheck check(pump, clock, sink, configFor("update.corvalo.invalid"), hostsFileOnly());
    check.run("127.0.0.1", std::to_string(proxy.port()));
    check.run("", "");  // the proxy given before stays on the component
    EXPECT_EQ(sink.messages, (std::vector<std::string>{kSame, kSame}));
    ASSERT_EQ(proxy.requests().size(), 2u);
    EXPECT_EQ(proxy.requests()[1],
              "GET http://update.corvalo.invalid/versions/corvalo.htm HTTP/1.0\r\n"
              "Proxy-Connection: Keep-Alive\r\n"
              "Host: update.corvalo.invalid\r\n"
              "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
              "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n"
              "Content-type: application/x-www-form-urlencoded\r\n\r\n");
}

TEST(VersionCheck, ProxyPortTextIsAWholeDecimalNumberOrZero) {
    const struct {
        const char* text;
        std::int32_t port;
    } rows[] = {{"8080", 8080}, {"80a", 0}, {"", 0}, {" 80", 0}, {"99999999999", 0}, {"+81", 81}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(VersionCheck::proxyPortFromText(row.text), row.port);
    }
}

TEST(VersionCheck, ProxyPortThatIsNotANumberFailsTheConnection) {
    TestPump pump;
    SteadyClock clock;
    RecordingSink sink;
    VersionCheck check(pump, clock, sink, configFor("update.corvalo.invalid"), hostsFileOnly());
    check.run("127.0.0.1", "80a");
    EXPECT_EQ(check.httpClient().proxyPort, 0);
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"Version request error: Connection Failed."});
}

TEST(VersionCheck, FailureWithoutEventShowsItsOwnTextNotAnEarlierOne) {
    LoopbackServer silent(holdOpen);
    TestPump pump;
    SteadyClock clock;
    RecordingSink sink;
    VersionCheckConfig config = configFor("update.corvalo.invalid");
    config.timeOutMs = 200;
    VersionCheck check(pump, clock, sink, config, hostsFileOnly());
    check.run("127.0.0.1", std::to_string(corvalo::testing::unusedPort()));
    check.run("127.0.0.1", std::to_string(silent.port()));
    EXPECT_EQ(sink.messages,
              (std::vector<std::string>{"Version request error: Connection Failed.",
                                        "Version request error: Socket readln aborted"}));
}

TEST(VersionCheck, DeadlineEndsACheckThatHasNoTimeOutOfItsOwn) {
    LoopbackServer silent(holdOpen);
    TestPump pump;
    corvalo::testing::FakeClock clock;
    pump.onPass = [&] { clock.now += 50; };
    RecordingSink sink;
    VersionCheckConfig config = configFor(silent.hostPort());
    config.timeOutMs = 0;  // each wait unbounded: only the whole check's deadline is left
    config.deadlineMs = 1000;
    VersionCheck check(pump, clock, sink, config, hostsFileOnly());
    check.run("", "");
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"Version request error: Socket readln aborted"});
}

TEST(VersionCheck, KeepsOnlyABoundedBody) {
    LoopbackServer server(respond(httpReply("200 OK", "", "1.01" + std::string(1 << 20, 'z'))));
    TestPump pump;
    SteadyClock clock;
    RecordingSink sink;
    VersionCheckConfig config = configFor(server.hostPort());
    config.maxBodyLength = 64;
    VersionCheck check(pump, clock, sink, config, hostsFileOnly());
    check.run("", "");
    EXPECT_EQ(sink.messages, std::vector<std::string>{kSame});
    EXPECT_EQ(check.httpClient().body.size(), 64u);
}

TEST(VersionCheck, CommandRepeatedDuringAWaitIsIgnored) {
    LoopbackServer server(respond(httpReply("200 OK", "", "1.01")), 2);
    TestPump pump;
    SteadyClock clock;
    RecordingSink sink;
    VersionCheck check(pump, clock, sink, configFor(server.hostPort()), hostsFileOnly());
    bool runningInside = false;
    pump.onPass = [&] {
        if (pump.passes != 1) return;
        runningInside = check.running();
        check.run("", "");
    };
    check.run("", "");
    EXPECT_TRUE(runningInside);
    EXPECT_FALSE(check.running());
    EXPECT_EQ(sink.messages, std::vector<std::string>{kSame});
    EXPECT_EQ(server.connections(), 1);
}

TEST(VersionCheck, CloseDuringAWaitCancelsAndClosesOnceUnwound) {
    LoopbackServer silent(holdOpen);
    TestPump pump;
    SteadyClock clock;
    RecordingSink sink;
    auto check = std::make_unique<VersionCheck>(pump, clock, sink, configFor(silent.hostPort()),
                                                hostsFileOnly());
    EXPECT_FALSE(check->closeWhenIdle([] { ADD_FAILURE() << "closed while idle"; }));
    int closes = 0;
    bool deferred = false;
    pump.onPass = [&] {
        if (pump.passes != 5) return;
        // The window's close handler: the check owns the close from here.
        deferred = check->closeWhenIdle([&] {
            ++closes;
            check.reset();  // the window and its check go away
        });
    };
    VersionCheck* running = check.get();
    running->run("", "");
    EXPECT_TRUE(deferred);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(check, nullptr);
    EXPECT_TRUE(sink.messages.empty());
}

}  // namespace
}  // namespace corvalo::net
