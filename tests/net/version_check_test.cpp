#include "net/version_check.h"

#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "net/loopback_server.h"
#include "net/test_pump.h"

namespace corvalo::net {
namespace {

using namespace corvalo::testing;
using Messages = std::vector<std::string>;

const std::string kSame =
    " There is no new version available.\r\n You currently have the latest version. ";
const std::string kFailed = "Version request error: Operation Failed.";

class VersionCheckTest : public ::testing::Test, public VersionMessageSink {
  protected:
    VersionCheckTest() {
        config.downloadHost = "dl.example";
        config.timeOutMs = kHungMs;
        config.maxBodyLength = 64;
        pump.onPass = [this] { clock.now += 10; };  // the waits' time, as the checks see it
    }
    void showVersionMessage(const std::string& text) override { messages.push_back(text); }
    // A fresh check of `updateHost` with `config`, replacing any earlier one.
    VersionCheck& checkOf(const std::string& updateHost) {
        config.updateHost = updateHost;
        check = std::make_unique<VersionCheck>(pump, clock, *this, config, hostsFileOnly());
        return *check;
    }

    TestPump pump;
    FakeClock clock;
    VersionCheckConfig config;
    std::unique_ptr<VersionCheck> check;
    Messages messages;
};

TEST_F(VersionCheckTest, ShowsOneMessageForEachOutcome) {
    const struct {
        const char* name;
        std::string reply;
        std::string message;
        std::string host = "";  // empty: the server that sends the reply
    } rows[] = {
        {"same, 1 MB body cut", "HTTP/1.0 200 OK\r\n\r\n1.01" + std::string(1 << 20, 'z'), kSame},
        {"newer version", httpReply("200 OK", "", "1.02\r\n"),
         " A newer version of corvalo exists! (1.02)\r\n"
         " Download link: dl.example/corvalo/install.exe"},
        {"no reply at all is a failure", "", kFailed},
        {"404", httpReply("404 Not Found", "", "1.01"), kFailed},
        {"name under .invalid", "", "Version request error: Invalid Host.", "corvalo.invalid"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(respond(row.reply));
        messages.clear();
        checkOf(row.host.empty() ? server.hostPort() : row.host).run("", "");
        EXPECT_EQ(messages, Messages{row.message});
        EXPECT_LE(check->httpClient().body.size(), 64u);
    }
}

// A failure that fires no event shows its own text, not that of the check before.
TEST_F(VersionCheckTest, GoesThroughTheProxyGivenWhichStaysAndEndsEachFailureWithItsText) {
    LoopbackServer proxy(respond(httpReply("200 OK", "", "1.01")), 2);
    LoopbackServer silent(holdOpen, 2);
    config.timeOutMs = 1000;
    VersionCheck& versionCheck = checkOf("update.corvalo.invalid");
    versionCheck.run("127.0.0.1", std::to_string(proxy.port()));
    versionCheck.run("", "");  // the proxy given before stays on the component
    versionCheck.run("127.0.0.1", std::to_string(unusedPort()));
    versionCheck.run("127.0.0.1", std::to_string(silent.port()));
    config.timeOutMs = 0;  // each wait unbounded: the whole check's deadline ends it
    config.deadlineMs = 1000;
    checkOf(silent.hostPort()).run("", "");
    const std::string aborted = "Version request error: Socket readln aborted";
    EXPECT_EQ(messages, (Messages{kSame, kSame, "Version request error: Connection Failed.",
                                  aborted, aborted}));
    EXPECT_EQ(proxy.connections(), 2);
    // Through a proxy the request line names the whole URL.
    EXPECT_THAT(proxy.requests().at(0),
                ::testing::StartsWith(
                    "GET http://update.corvalo.invalid/versions/corvalo.htm HTTP/1.0\r\n"
                    "Proxy-Connection: Keep-Alive\r\nHost: update.corvalo.invalid\r\nAccept: "));
}

TEST(VersionCheckProxyPort, IsAWholeDecimalNumberOrZero) {
    const struct {
        const char* text;
        std::int32_t port;
    } rows[] = {{"8080", 8080}, {"+81", 81}, {"80a", 0}, {"", 0}, {"99999999999", 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(VersionCheck::proxyPortFromText(row.text), row.port);
    }
}

// The window's close handler hands the close to the check while it waits.
TEST_F(VersionCheckTest, RepeatedCommandIsIgnoredAndCloseWaitsUntilTheCheckUnwound) {
    LoopbackServer silent(holdOpen, 2);
    VersionCheck& running = checkOf(silent.hostPort());
    EXPECT_FALSE(running.closeWhenIdle([] { ADD_FAILURE() << "closed while idle"; }));
    int closes = 0;
    bool deferred = false;
    pump.onPass = [&] {
        if (pump.passes == 1) running.run("", "");
        if (pump.passes != 5) return;
        deferred = check->closeWhenIdle([&] {
            ++closes;
            check.reset();  // the window and its check go away
        });
    };
    running.run("", "");
    EXPECT_TRUE(deferred);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(check, nullptr);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(silent.connections(), 1);
}

}  // namespace
}  // namespace corvalo::net
