#include "net/version_check.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/loopback_server.h"
#include "net/test_pump.h"

namespace corvalo::net {
namespace {

using corvalo::testing::holdOpen;
using corvalo::testing::hostsFileOnly;
using corvalo::testing::httpReply;
using corvalo::testing::LoopbackServer;
using corvalo::testing::respond;
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

class VersionCheckTest : public ::testing::Test {
  protected:
    VersionCheckTest() {
        config.downloadHost = "dl.example";
        config.exeName = "corvalo.exe";
        config.timeOutMs = corvalo::testing::kHungMs;
        config.maxBodyLength = 64;
    }
    // A fresh check of `updateHost` with `config`, replacing any earlier one.
    VersionCheck& checkOf(const std::string& updateHost) {
        config.updateHost = updateHost;
        current = std::make_unique<VersionCheck>(pump, clock, sink, config, hostsFileOnly());
        return *current;
    }

    TestPump pump;
    SteadyClock clock;
    RecordingSink sink;
    VersionCheckConfig config;
    std::unique_ptr<VersionCheck> current;
};

TEST_F(VersionCheckTest, ShowsOneMessageForEachOutcome) {
    const struct {
        const char* name;
        std::string reply;
        std::string message;
        std::string host = "";  // empty: the server that sends the reply
    } rows[] = {
        {"same version, anything after it", httpReply("200 OK", "", "1.01 (build 7)\r\n"), kSame},
        {"a long body is cut", httpReply("200 OK", "", "1.01" + std::string(1 << 20, 'z')), kSame},
        {"newer version", httpReply("200 OK", "", "1.02\r\n"), newer("1.02")},
        {"a lower version counts as newer", httpReply("200 OK", "", "1.00"), newer("1.00")},
        {"empty body of a success", httpReply("200 OK", "", ""), newer("")},
        {"no reply at all is a failure", "", "Version request error: Operation Failed."},
        {"404", httpReply("404 Not Found", "", "1.01"),
         "Version request error: Operation Failed."},
        {"name under .invalid", "", "Version request error: Invalid Host.",
         "update.corvalo.invalid"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(respond(row.reply));
        sink.messages.clear();
        checkOf(row.host.empty() ? server.hostPort() : row.host).run("", "");
        EXPECT_EQ(sink.messages, std::vector<std::string>{row.message});
        EXPECT_LE(current->httpClient().body.size(), 64u);
        if (!row.host.empty()) continue;
        ASSERT_GE(server.requests().size(), 1u);
        EXPECT_EQ(server.requests()[0].substr(0, 40),
                  "GET /versions/corvalo.htm HTTP/1.0\r\nHost");
    }
}

TEST_F(VersionCheckTest, GoesThroughTheProxyGivenWhichStaysForTheNextCheck) {
    LoopbackServer proxy(respond(httpReply("200 OK", "", "1.01")), 2);
    VersionCheck& check = checkOf("update.corvalo.invalid");
    check.run("127.0.0.1", std::to_string(proxy.port()));
    check.run("", "");  // the proxy given before stays on the component
    EXPECT_EQ(sink.messages, (std::vector<std::string>{kSame, kSame}));
    EXPECT_EQ(proxy.connections(), 2);
}

TEST(VersionCheckProxyPort, IsAWholeDecimalNumberOrZero) {
    const struct {
        const char* text;
        std::int32_t port;
    } rows[] = {{"8080", 8080}, {"80a", 0}, {"", 0}, {" 80", 0}, {"99999999999", 0}, {"+81", 81}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(VersionCheck::proxyPortFromText(row.text), row.port);
    }
}

TEST_F(VersionCheckTest, FailureWithoutEventShowsItsOwnTextNotAnEarlierOne) {
    LoopbackServer silent(holdOpen);
    config.timeOutMs = 200;
    VersionCheck& check = checkOf("update.corvalo.invalid");
    check.run("127.0.0.1", std::to_string(corvalo::testing::unusedPort()));
    check.run("127.0.0.1", std::to_string(silent.port()));
    EXPECT_EQ(sink.messages,
              (std::vector<std::string>{"Version request error: Connection Failed.",
                                        "Version request error: Socket readln aborted"}));
}

TEST_F(VersionCheckTest, DeadlineEndsACheckThatHasNoTimeOutOfItsOwn) {
    LoopbackServer silent(holdOpen);
    corvalo::testing::FakeClock fakeClock;
    config.updateHost = silent.hostPort();
    config.timeOutMs = 0;  // each wait unbounded: only the whole check's deadline is left
    config.deadlineMs = 1000;
    VersionCheck check(pump, fakeClock, sink, config, hostsFileOnly());
    pump.onPass = [&] {
        fakeClock.now += 50;
        if (pump.passes < 1000) return;
        ADD_FAILURE() << "no end after 50 s on the check's clock";
        check.httpClient().abort();
    };
    check.run("", "");
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"Version request error: Socket readln aborted"});
}

TEST_F(VersionCheckTest, CommandRepeatedDuringAWaitIsIgnored) {
    LoopbackServer server(respond(httpReply("200 OK", "", "1.01")), 2);
    VersionCheck& check = checkOf(server.hostPort());
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

TEST_F(VersionCheckTest, CloseDuringAWaitCancelsAndClosesOnceUnwound) {
    LoopbackServer silent(holdOpen);
    VersionCheck& running = checkOf(silent.hostPort());
    EXPECT_FALSE(running.closeWhenIdle([] { ADD_FAILURE() << "closed while idle"; }));
    int closes = 0;
    bool deferred = false;
    pump.onPass = [&] {
        if (pump.passes != 5) return;
        // The window's close handler: the check owns the close from here.
        deferred = current->closeWhenIdle([&] {
            ++closes;
            current.reset();  // the window and its check go away
        });
    };
    running.run("", "");
    EXPECT_TRUE(deferred);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(current, nullptr);
    EXPECT_TRUE(sink.messages.empty());
}

}  // namespace
}  // namespace corvalo::net
