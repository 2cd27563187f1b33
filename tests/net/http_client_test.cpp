#include <string>

#include <gtest/gtest.h>

#include "net/http_client.h"
#include "net/loopback_server.h"
#include "net/test_pump.h"
#include "support/temp_dir.h"

namespace corvalo::net {
namespace {

using corvalo::testing::errorText;
using corvalo::testing::httpReply;
using corvalo::testing::LoopbackServer;
using corvalo::testing::respond;
using corvalo::testing::ServerConnection;

class HttpClientTest : public ::testing::Test {
  protected:
    HttpClientTest() {
        http.timeoutMs = corvalo::testing::kHungMs;
        http.onSuccess = [this](CmdType) { events += "success "; };
        http.onFailure = [this](CmdType) { events += "failure "; };
        http.onAuthenticationNeeded = [this](TcpClient&) { events += "auth "; };
        http.onRedirect = [this](bool&) { events += "redirect "; };
        http.onAboutToSend = [this](TcpClient&) { events += "send "; };
        http.onConnectionFailed = [this](TcpClient&) { events += "connection-failed "; };
        http.onInvalidHost = [this](bool&) { events += "invalid-host "; };
    }

    corvalo::testing::TestPump pump;
    SteadyClock clock;
    HttpClient http{pump, clock, corvalo::testing::hostsFileOnly()};
    std::string events;
};

TEST_F(HttpClientTest, StatusDecidesTheEvents) {
    constexpr std::int64_t kMalformed = HttpClient::kMalformedStatus;
    const struct {
        const char* name;
        std::string reply;
        const char* events;
        std::int64_t status;
        std::string body;
        const char* error;
    } rows[] = {
        {"200 with a body", httpReply("200 OK", "Content-Length: 9\r\n", "1.01 text"),
         "send success ", 200, "1.01 text", "no error"},
        {"404", httpReply("404 Not Found", "", "gone"), "send failure ", 404, "gone", "no error"},
        {"401 fails, then asks for authentication", httpReply("401 Unauthorized", "", ""),
         "send failure auth ", 401, "", "no error"},
        {"closed at once counts as status 0", "", "send success ", 0, "", "no error"},
        {"status line only, then closed", "HTTP/1.0 200 OK\r\n", "send success ", 200, "",
         "no error"},
        {"status without a reason", "HTTP/1.1 404\r\n\r\n", "send failure ", 404, "", "no error"},
        {"LF line ends", "HTTP/1.0 200 OK\nA: b\n\nbody", "send success ", 200, "body",
         "no error"},
        {"500 after a 2xx-looking body", httpReply("500 Oops", "", "200 OK"), "send failure ", 500,
         "200 OK", "no error"},
        {"a code beyond 16 bits is no code", httpReply("65736 Odd", "", "1.02"), "send failure ",
         kMalformed, "1.02", "no error"},
        {"two digits are no code", "HTTP/1.0 20 OK\r\n\r\n", "send failure ", kMalformed, "",
         "no error"},
        {"a sign is no digit", "HTTP/1.0 +20 OK\r\n\r\n", "send failure ", kMalformed, "",
         "no error"},
        {"a status line without a code", "HTTP/1.0\r\n\r\n", "send failure ", kMalformed, "",
         "no error"},
        {"399 repeats without a redirect event, up to the bound", httpReply("399 Odd", "", ""),
         "send send send send send send send send send send ", 399, "", "Too many redirections"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        events.clear();
        LoopbackServer server(respond(row.reply), HttpClient::kMaxExchanges);
        EXPECT_EQ(errorText([&] { http.get(server.url("/v.htm")); }), row.error);
        EXPECT_EQ(events, row.events);
        EXPECT_EQ(http.replyNumber(), row.status);
        EXPECT_EQ(http.body, row.body);
        EXPECT_EQ(http.header + http.body, row.reply);  // the header is all before the body
        EXPECT_FALSE(http.connected());
    }
}

std::string withNul(const std::string& before, const std::string& after) {
    return before + std::string(1, '\0') + after;
}

TEST_F(HttpClientTest, HeaderValuesAreReadAfterOneBlankAndLoseLineBreaksAndNul) {
    const struct {
        const char* name;
        std::string line;
        std::string cookie;
        std::string location;
        std::int64_t length;
    } rows[] = {
        {"field name in any case", "set-cookie: id=42; path=/", "id=42; path=/", "", 0},
        {"no blank after the colon: not read", "Location:/no-blank", "", "", 0},
        {"length: digits then letters", "Content-Length: 12abc", "", "", 12},
        {"length beyond 32 bits", "Content-Length: 3000000000", "", "", 3000000000},
        {"length without digits", "Content-Length: x", "", "", 0},
        {"length beyond 64 bits", "Content-Length: 99999999999999999999", "", "", 0},
        {"bare CR in a cookie", "Set-Cookie: id=7\rX-Injected: 1", "id=7X-Injected: 1", "", 0},
        {"NUL in a cookie", withNul("Set-Cookie: id=7", "; x"), "id=7; x", "", 0},
        {"bare CR in a location", "Location: /a\rHost: evil", "", "/aHost: evil", 0},
        {"NUL in a location", withNul("Location: /a", "b"), "", "/ab", 0},
        {"256 bytes kept after the removal", "Set-Cookie: " + std::string(300, '\r') + "c", "c",
         "", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(respond(httpReply("200 OK", row.line + "\r\n", "")));
        http.location.clear();
        http.get(server.url("/"));
        EXPECT_EQ(http.receivedCookie, row.cookie);
        EXPECT_EQ(http.location, row.location);
        EXPECT_EQ(http.contentLength, row.length);
    }
}

TEST_F(HttpClientTest, HeaderLineOfTenMegabytesIsCutAndTheReplyStillRead) {
    const std::string bigLine = "X-Big: " + std::string(10 * 1024 * 1024, 'a') + "\r\n";
    LoopbackServer server(respond(httpReply("200 OK", bigLine + "Content-Length: 4\r\n", "1.01")));
    http.get(server.url("/"));
    EXPECT_EQ(http.replyNumber(), 200);
    EXPECT_EQ(http.body, "1.01");
    EXPECT_EQ(http.contentLength, 4);
    EXPECT_LT(http.header.size(), 2 * TcpClient::kBufferSize);
}

TEST_F(HttpClientTest, HeaderWithoutEndIsRefused) {
    LoopbackServer server([](ServerConnection& c, int) {
        c.readRequest();
        if (!c.send("HTTP/1.0 200 OK\r\n")) return;
        std::string chunk;
        for (std::size_t i = 0; i < 8192; ++i) chunk += "X-N: yy\r\n";
        for (int i = 0; i < 64 && c.send(chunk); ++i) {
        }
    });
    EXPECT_EQ(errorText([&] { http.get(server.url("/")); }), "Reply header too long");
    EXPECT_EQ(events, "send ");
    EXPECT_FALSE(http.connected());
}

TEST_F(HttpClientTest, MaxBodyLengthBoundsTheBodyKept) {
    LoopbackServer server(respond(httpReply("200 OK", "", std::string(1024 * 1024, 'b'))));
    http.maxBodyLength = 100;
    http.get(server.url("/"));
    EXPECT_EQ(http.body, std::string(100, 'b'));
}

TEST_F(HttpClientTest, FailuresBeforeAReplyFireTheirEventsAndNoOutcome) {
    const struct {
        const char* name;
        std::string url;  // PORT: the port of a server that never answers
        const char* events;
        const char* error;
        int connections;
    } rows[] = {
        {"refused port",
         "http://127.0.0.1:" + std::to_string(corvalo::testing::unusedPort()) + "/",
         "send connection-failed ", "Connection Failed", 0},
        {"name that does not resolve", "http://update.corvalo.invalid/", "send invalid-host ",
         "Null Remote Address", 0},
        {"server that never answers", "http://127.0.0.1:PORT/", "send ", "Socket readln aborted",
         1},
        {"https before any connection", "https://127.0.0.1:PORT/", "",
         "HTTP Secure Socket is not supported", 0},
        {"empty URL", "", "", "Empty URL", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer silent(corvalo::testing::holdOpen);
        std::string url = row.url;
        if (const auto at = url.find("PORT"); at != std::string::npos) {
            url.replace(at, 4, std::to_string(silent.port()));
        }
        events.clear();
        http.timeoutMs = 200;
        EXPECT_EQ(errorText([&] { http.get(url); }), row.error);
        EXPECT_EQ(events, row.events);
        EXPECT_EQ(silent.connections(), row.connections);
        EXPECT_FALSE(http.connected());
    }
}

TEST_F(HttpClientTest, RedirectToAnAbsoluteUrlIsFollowed) {
    LoopbackServer target(respond(httpReply("200 OK", "", "done")));
    LoopbackServer first(
        respond(httpReply("302 Found", "Location: " + target.url("/final.htm") + "\r\n", "")));
    http.get(first.url("/start.htm"));
    EXPECT_EQ(http.body, "done");
    EXPECT_EQ(http.url, target.url("/final.htm"));
    ASSERT_EQ(target.requests().size(), 1u);
    EXPECT_EQ(target.requests()[0].substr(0, 30), "GET /final.htm HTTP/1.0\r\nHost:");
    EXPECT_EQ(events, "send redirect send success ");
}

TEST_F(HttpClientTest, RedirectToABareNameStaysOnHostAndPortAndCarriesTheCookie) {
    LoopbackServer server(
        [](ServerConnection& c, int index) {
            c.readRequest();
            c.send(index == 0
                       ? httpReply("302 Found", "Set-Cookie: id=7\r\nLocation: new.htm\r\n", "")
                       : httpReply("200 OK", "", "moved"));
        },
        2);
    http.get(server.url("/old.htm"));
    EXPECT_EQ(http.body, "moved");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].substr(0, 25), "GET /new.htm HTTP/1.0\r\nHo");
    EXPECT_NE(requests[1].find("\r\nCookie: id=7\r\n"), std::string::npos);
}

TEST_F(HttpClientTest, HandledRedirectIsNotFollowed) {
    LoopbackServer server(respond(httpReply("301 Moved", "Location: /elsewhere\r\n", "")), 2);
    http.onRedirect = [](bool& handled) { handled = true; };
    http.get(server.url("/a"));
    EXPECT_EQ(server.connections(), 1);
    EXPECT_EQ(http.url, "/elsewhere");
}

TEST_F(HttpClientTest, RedirectLoopStopsAfterTheBound) {
    LoopbackServer server(respond(httpReply("301 Moved", "Location: /loop\r\n", "")),
                          HttpClient::kMaxExchanges + 5);
    EXPECT_EQ(errorText([&] { http.get(server.url("/loop")); }), "Too many redirections");
    EXPECT_EQ(server.connections(), HttpClient::kMaxExchanges);
}

TEST_F(HttpClientTest, FileModesWriteTheBodyAndHeaderAndSendTheRequestBody) {
    corvalo::testing::TempDir dir;
    corvalo::testing::writeFile(dir / "send.dat", "raw&data");
    LoopbackServer server(respond(httpReply("200 OK", "", "the body")));
    http.inputFileMode = true;
    http.outputFileMode = true;
    http.body = (dir / "body.htm").string();
    http.header = (dir / "head.txt").string();
    http.post(server.url("/form"), (dir / "send.dat").string());
    const std::string request = server.requests().at(0);
    EXPECT_NE(request.find("\r\nContent-Length: 8\r\n"), std::string::npos);
    EXPECT_EQ(request.substr(request.size() - 12), "\r\n\r\nraw&data");  // not form-encoded
    EXPECT_EQ(corvalo::testing::readFile(dir / "body.htm"), "the body");
    EXPECT_EQ(corvalo::testing::readFile(dir / "head.txt"), "HTTP/1.0 200 OK\r\n\r\n");
}

}  // namespace
}  // namespace corvalo::net
