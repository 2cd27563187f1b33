#include "net/http_client.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/base64.h"
#include "net/loopback_server.h"
#include "net/test_pump.h"
#include "support/temp_dir.h"

namespace corvalo::net {
namespace {

using corvalo::testing::hostsFileOnly;
using corvalo::testing::httpReply;
using corvalo::testing::LoopbackServer;
using corvalo::testing::respond;
using corvalo::testing::ServerConnection;
using corvalo::testing::TestPump;

const std::string kAccept =
    "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
    "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n";
const std::string kFormType = "Content-type: application/x-www-form-urlencoded\r\n";

class HttpTest : public ::testing::Test {
  protected:
    // Events in the order they fired: "success 0", "failure 0", "auth", "redirect".
    void recordEvents() {
        http.onSuccess = [this](CmdType c) {
            events.push_back("success " + std::to_string(static_cast<int>(c)));
        };
        http.onFailure = [this](CmdType c) {
            events.push_back("failure " + std::to_string(static_cast<int>(c)));
        };
        http.onAuthenticationNeeded = [this](TcpClient&) { events.push_back("auth"); };
        http.onRedirect = [this](bool&) { events.push_back("redirect"); };
    }

    TestPump pump;
    SteadyClock clock;
    HttpClient http{pump, clock, hostsFileOnly()};
    std::vector<std::string> events;
};

// ---- URL parsing and the request text, without a connection --------------------

TEST_F(HttpTest, ParseUrlSetsHostPortAndPath) {
    const std::string longPath(300, 'p');
    const struct {
        const char* name;
        std::string url;
        std::int32_t portBefore;
        const char* host;
        std::int32_t port;
        std::string path;
        std::string urlAfter;
    } rows[] = {
        {"scheme and host only", "http://example.com", 0, "example.com", 80, "/",
         "http://example.com/"},
        {"port after the host", "http://example.com:8080/a/b", 0, "example.com", 8080, "/a/b",
         "http://example.com:8080/a/b"},
        {"ftp chooses 21", "ftp://files.example/f.txt", 0, "files.example", 21, "/f.txt",
         "ftp://files.example/f.txt"},
        {"gopher chooses 70", "gopher://g.example/", 0, "g.example", 70, "/",
         "gopher://g.example/"},
        {"scheme in capitals", "HTTP://Example.com/x", 8080, "Example.com", 80, "/x",
         "HTTP://Example.com/x"},
        {"a path stays on host and port", "/new/path", 8080, "before", 8080, "/new/path",
         "/new/path"},
        {"no scheme, port 0 becomes 80", "example.com/x", 0, "example.com", 80, "/x",
         "example.com/x"},
        {"no scheme with a port", "example.com:81/x", 0, "example.com", 81, "/x",
         "example.com:81/x"},
        {"path cut after 256", "http://h/" + longPath, 0, "h", 80, "/" + longPath.substr(0, 255),
         "http://h/" + longPath},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        http.host = "before";
        http.port = row.portBefore;
        http.url = row.url;
        http.parseUrl();
        EXPECT_EQ(http.host, row.host);
        EXPECT_EQ(http.port, row.port);
        EXPECT_EQ(http.path, row.path);
        EXPECT_EQ(http.url, row.urlAfter);
    }
}

TEST_F(HttpTest, ParseUrlRefusesEmptyHttpsAndBadPorts) {
    const struct {
        const char* name;
        const char* url;
        const char* error;
    } rows[] = {
        {"empty", "", "Empty URL"},
        {"https", "https://example.com/", "HTTP Secure Socket is not supported"},
        {"https in capitals", "HTTPS://example.com/", "HTTP Secure Socket is not supported"},
        {"port with a letter", "http://h:80a/", "'80a' is not a valid integer value"},
        {"empty port", "http://h:/", "'' is not a valid integer value"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        http.url = row.url;
        try {
            http.parseUrl();
            ADD_FAILURE() << "parsed";
        } catch (const corvalo::Error& e) {
            EXPECT_STREQ(e.what(), row.error);
        }
    }
}

TEST_F(HttpTest, BuildRequestGivesTheHeaderLinesOfEachMethod) {
    const struct {
        const char* name;
        CmdType method;
        const char* proxy;
        std::string sendData;
        std::string text;
    } rows[] = {
        {"GET", CmdType::Get, "", "",
         "GET /v.htm HTTP/1.0\r\nHost: h.example\r\n" + kAccept + kFormType},
        {"GET through a proxy", CmdType::Get, "proxy.example", "",
         "GET http://h.example/v.htm HTTP/1.0\r\nProxy-Connection: Keep-Alive\r\n"
         "Host: h.example\r\n" +
             kAccept + kFormType},
        {"POST carries its length", CmdType::Post, "", "a=1&b=2",
         "POST /v.htm HTTP/1.0\r\nHost: h.example\r\n" + kAccept + kFormType +
             "Content-Length: 7\r\n"},
        {"PUT with an empty body", CmdType::Put, "", "",
         "PUT /v.htm HTTP/1.0\r\nHost: h.example\r\n" + kAccept + kFormType +
             "Content-Length: 0\r\n"},
        {"DELETE carries no length", CmdType::Delete, "", "stray",
         "DELETE /v.htm HTTP/1.0\r\nHost: h.example\r\n" + kAccept + kFormType},
        {"COPY names its target", CmdType::Copy, "", "",
         "COPY /v.htm HTTP/1.0\r\nHost: h.example\r\n" + kAccept + kFormType +
             "URI-header: /t.htm\r\n"},
        {"UNLINK names its link", CmdType::Unlink, "", "",
         "UNLINK /v.htm HTTP/1.0\r\nHost: h.example\r\n" + kAccept + kFormType +
             "Link: /t.htm\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        http.method = row.method;
        http.proxy = row.proxy;
        http.sendData = row.sendData;
        http.targetUri = "/t.htm";
        http.port = 0;
        http.url = "http://h.example/v.htm";
        http.parseUrl();
        http.buildRequest();
        EXPECT_EQ(http.sendHeader.text(), row.text);
    }
}

TEST_F(HttpTest, RequestHeadersAddTheirLinesAndOneAuthorizationLine) {
    http.requestHeaders.localProgram = "Corvalo";
    http.requestHeaders.localMailAddress = "me@example.com";
    http.requestHeaders.cookie = "id=7";
    http.requestHeaders.referer = "http://r.example/";
    // 46 bytes and more: one Base64 line, not one per 45-byte block.
    http.requestHeaders.userId = std::string(40, 'u');
    http.requestHeaders.password = std::string(20, 'p');
    http.url = "http://h.example/";
    http.parseUrl();
    http.buildRequest();
    const std::string auth = base64EncodeLine(std::string(40, 'u') + ":" + std::string(20, 'p'));
    EXPECT_EQ(http.sendHeader.text(), "GET / HTTP/1.0\r\nHost: h.example\r\n" + kAccept +
                                          "User-Agent: Corvalo\r\nFrom: me@example.com\r\n"
                                          "Cookie: id=7\r\nReferer: http://r.example/\r\n"
                                          "Authorization: Basic " +
                                          auth + "\r\n" + kFormType);
    http.requestHeaders.password.clear();  // both are needed
    http.buildRequest();
    EXPECT_EQ(findHeader(http.sendHeader, "Authorization"), -1);
}

// ---- exchanges with servers on 127.0.0.1 ---------------------------------------

TEST_F(HttpTest, GetSendsExactlyTheseBytesWithoutAndWithAProxy) {
    const std::string reply = httpReply("200 OK", "", "1.01");
    {
        LoopbackServer server(respond(reply));
        http.get(server.url("/versions/corvalo.htm"));
        ASSERT_EQ(server.requests().size(), 1u);
        EXPECT_EQ(server.requests()[0],
                  "GET /versions/corvalo.htm HTTP/1.0\r\n"
                  "Host: 127.0.0.1\r\n" +
                      kAccept + kFormType + "\r\n");
    }
    {
        LoopbackServer proxy(respond(reply));
        http.proxy = "127.0.0.1";
        http.proxyPort = proxy.port();
        http.port = 0;
        http.get("http://update.corvalo.invalid/versions/corvalo.htm");
        ASSERT_EQ(proxy.requests().size(), 1u);
        EXPECT_EQ(proxy.requests()[0],
                  "GET http://update.corvalo.invalid/versions/corvalo.htm HTTP/1.0\r\n"
                  "Proxy-Connection: Keep-Alive\r\nHost: update.corvalo.invalid\r\n" +
                      kAccept + kFormType + "\r\n");
        EXPECT_EQ(http.body, "1.01");
    }
}

TEST(HttpReplies, StatusDecidesTheEvents) {
    const struct {
        const char* name;
        std::string reply;
        std::vector<std::string> events;
        std::int64_t status;
        std::string body;
        std::string header;
    } rows[] = {
        {"200 with a body",
         httpReply("200 OK", "Content-Length: 9\r\n", "1.01 text"),
         {"success 0"},
         200,
         "1.01 text",
         "HTTP/1.0 200 OK\r\nContent-Length: 9\r\n\r\n"},
        {"404",
         httpReply("404 Not Found", "", "gone"),
         {"failure 0"},
         404,
         "gone",
         "HTTP/1.0 404 Not Found\r\n\r\n"},
        {"401 fails, then asks for authentication",
         httpReply("401 Unauthorized", "", ""),
         {"failure 0", "auth"},
         401,
         "",
         "HTTP/1.0 401 Unauthorized\r\n\r\n"},
        {"closed at once counts as status 0", "", {"success 0"}, 0, "", ""},
        {"status line only, then closed",
         "HTTP/1.0 200 OK\r\n",
         {"success 0"},
         200,
         "",
         "HTTP/1.0 200 OK\r\n"},
        {"status without a reason",
         "HTTP/1.1 404\r\n\r\n",
         {"failure 0"},
         404,
         "",
         "HTTP/1.1 404\r\n\r\n"},
        {"LF line ends",
         "HTTP/1.0 200 OK\nA: b\n\nbody",
         {"success 0"},
         200,
         "body",
         "HTTP/1.0 200 OK\nA: b\n\n"},
        {"500 after a 2xx-looking body",
         httpReply("500 Oops", "", "200 OK"),
         {"failure 0"},
         500,
         "200 OK",
         "HTTP/1.0 500 Oops\r\n\r\n"},
        {"a code beyond 16 bits is no code",
         httpReply("65736 Odd", "", "1.02"),
         {"failure 0"},
         HttpClient::kMalformedStatus,
         "1.02",
         "HTTP/1.0 65736 Odd\r\n\r\n"},
        {"two digits are no code",
         "HTTP/1.0 20 OK\r\n\r\n",
         {"failure 0"},
         HttpClient::kMalformedStatus,
         "",
         "HTTP/1.0 20 OK\r\n\r\n"},
        {"a sign is no digit",
         "HTTP/1.0 +20 OK\r\n\r\n",
         {"failure 0"},
         HttpClient::kMalformedStatus,
         "",
         "HTTP/1.0 +20 OK\r\n\r\n"},
        {"a status line without a code",
         "HTTP/1.0\r\n\r\n",
         {"failure 0"},
         HttpClient::kMalformedStatus,
         "",
         "HTTP/1.0\r\n\r\n"},
        {"399 repeats without a redirect event, up to the bound",
         httpReply("399 Odd", "", ""),
         {},
         399,
         "",
         "HTTP/1.0 399 Odd\r\n\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TestPump pump;
        SteadyClock clock;
        HttpClient http(pump, clock, hostsFileOnly());
        std::vector<std::string> events;
        http.onSuccess = [&](CmdType c) {
            events.push_back("success " + std::to_string(static_cast<int>(c)));
        };
        http.onFailure = [&](CmdType c) {
            events.push_back("failure " + std::to_string(static_cast<int>(c)));
        };
        http.onAuthenticationNeeded = [&](TcpClient&) { events.push_back("auth"); };
        LoopbackServer server(respond(row.reply), HttpClient::kMaxExchanges);
        try {
            http.get(server.url("/v.htm"));
        } catch (const corvalo::Error& e) {
            EXPECT_STREQ(e.what(), "Too many redirections");  // only the 399 row repeats
            EXPECT_EQ(row.status, 399);
        }
        EXPECT_EQ(events, row.events);
        EXPECT_EQ(http.replyNumber(), row.status);
        EXPECT_EQ(http.body, row.body);
        EXPECT_EQ(http.header, row.header);
        EXPECT_FALSE(http.connected());
    }
}

TEST_F(HttpTest, HeaderFieldsAreReadOnlyWithOneBlankAfterTheColon) {
    LoopbackServer server(
        respond(httpReply("200 OK", "set-cookie: id=42; path=/\r\nLocation:/no-blank\r\n", "")));
    http.location = "before";
    http.get(server.url("/"));
    EXPECT_EQ(http.receivedCookie, "id=42; path=/");
    EXPECT_EQ(http.location, "before");
}

TEST(HttpReplyHeader, ContentLengthIsTheRunOfDigitsAfterTheBlank) {
    const struct {
        const char* name;
        const char* line;
        std::int64_t length;
    } rows[] = {
        {"digits then letters", "Content-Length: 12abc", 12},
        {"beyond 32 bits", "Content-Length: 3000000000", 3000000000},
        {"no digits", "Content-Length: x", 0},
        {"beyond 64 bits", "Content-Length: 99999999999999999999", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(respond(httpReply("200 OK", std::string(row.line) + "\r\n", "")));
        TestPump pump;
        SteadyClock clock;
        HttpClient http(pump, clock, hostsFileOnly());
        http.get(server.url("/"));
        EXPECT_EQ(http.contentLength, row.length);
    }
}

std::string withNul(const std::string& before, const std::string& after) {
    return before + std::string(1, '\0') + after;
}

TEST(HttpReplyHeader, ValuesForTheNextRequestLoseLineBreaksAndNul) {
    const struct {
        const char* name;
        std::string line;
        std::string cookie;
        std::string location;
    } rows[] = {
        {"bare CR in a cookie", "Set-Cookie: id=7\rX-Injected: 1", "id=7X-Injected: 1", ""},
        {"NUL in a cookie", withNul("Set-Cookie: id=7", "; x"), "id=7; x", ""},
        {"bare CR in a location", "Location: /a\rHost: evil", "", "/aHost: evil"},
        {"NUL in a location", withNul("Location: /a", "b"), "", "/ab"},
        {"256 bytes kept after the removal", "Set-Cookie: " + std::string(300, '\r') + "c", "c",
         ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(respond(httpReply("200 OK", row.line + "\r\n", "")));
        TestPump pump;
        SteadyClock clock;
        HttpClient http(pump, clock, hostsFileOnly());
        http.get(server.url("/"));
        EXPECT_EQ(http.receivedCookie, row.cookie);
        EXPECT_EQ(http.location, row.location);
    }
}

TEST_F(HttpTest, RedirectToAnAbsoluteUrlIsFollowed) {
    LoopbackServer target(respond(httpReply("200 OK", "", "done")));
    LoopbackServer first(
        respond(httpReply("302 Found", "Location: " + target.url("/final.htm") + "\r\n", "")));
    recordEvents();
    http.get(first.url("/start.htm"));
    EXPECT_EQ(http.body, "done");
    EXPECT_EQ(http.url, target.url("/final.htm"));
    ASSERT_EQ(target.requests().size(), 1u);
    EXPECT_EQ(target.requests()[0].substr(0, 30), "GET /final.htm HTTP/1.0\r\nHost:");
    EXPECT_EQ(events, (std::vector<std::string>{"redirect", "success 0"}));
}

TEST_F(HttpTest, RedirectToABareNameStaysOnHostAndPortAndCarriesTheCookie) {
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
    EXPECT_EQ(http.requestHeaders.cookie, "id=7");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].substr(0, 25), "GET /new.htm HTTP/1.0\r\nHo");
    EXPECT_NE(requests[1].find("\r\nCookie: id=7\r\n"), std::string::npos);
}

TEST_F(HttpTest, HandledRedirectIsNotFollowed) {
    LoopbackServer server(respond(httpReply("301 Moved", "Location: /elsewhere\r\n", "")), 2);
    http.onRedirect = [](bool& handled) { handled = true; };
    http.get(server.url("/a"));
    EXPECT_EQ(server.connections(), 1);
    EXPECT_EQ(http.url, "/elsewhere");
}

TEST_F(HttpTest, RedirectLoopStopsAfterTheBound) {
    LoopbackServer server(respond(httpReply("301 Moved", "Location: /loop\r\n", "")),
                          HttpClient::kMaxExchanges + 5);
    try {
        http.get(server.url("/loop"));
        ADD_FAILURE() << "no end";
    } catch (const corvalo::Error& e) {
        EXPECT_STREQ(e.what(), "Too many redirections");
    }
    EXPECT_EQ(server.connections(), HttpClient::kMaxExchanges);
}

TEST_F(HttpTest, HeaderLineOfTenMegabytesIsCutAndTheReplyStillRead) {
    const std::string bigLine = "X-Big: " + std::string(10 * 1024 * 1024, 'a') + "\r\n";
    LoopbackServer server(respond(httpReply("200 OK", bigLine + "Content-Length: 4\r\n", "1.01")));
    http.get(server.url("/"));
    EXPECT_EQ(http.replyNumber(), 200);
    EXPECT_EQ(http.body, "1.01");
    EXPECT_EQ(http.contentLength, 4);
    EXPECT_LT(http.header.size(), 2 * TcpClient::kBufferSize);
}

TEST_F(HttpTest, HeaderWithoutEndIsRefused) {
    LoopbackServer server([](ServerConnection& c, int) {
        c.readRequest();
        if (!c.send("HTTP/1.0 200 OK\r\n")) return;
        std::string chunk;
        for (std::size_t i = 0; i < 8192; ++i) chunk += "X-N: yy\r\n";
        for (int i = 0; i < 64 && c.send(chunk); ++i) {
        }
    });
    try {
        http.get(server.url("/"));
        ADD_FAILURE() << "no end";
    } catch (const corvalo::Error& e) {
        EXPECT_STREQ(e.what(), "Reply header too long");
    }
    EXPECT_FALSE(http.connected());
}

TEST_F(HttpTest, BodyArrivingOneByteAtATimeIsReceivedWhole) {
    const std::string body = "1.02 and some more text";
    LoopbackServer server([&](ServerConnection& c, int) {
        c.readRequest();
        c.send("HTTP/1.0 200 OK\r\n\r\n");
        c.sendByteByByte(body);
    });
    http.get(server.url("/"));
    EXPECT_EQ(http.body, body);
}

TEST_F(HttpTest, MaxBodyLengthBoundsTheBodyKept) {
    LoopbackServer server(respond(httpReply("200 OK", "", std::string(1024 * 1024, 'b'))));
    http.maxBodyLength = 100;
    http.get(server.url("/"));
    EXPECT_EQ(http.body, std::string(100, 'b'));
}

TEST_F(HttpTest, ServerThatNeverAnswersEndsByTheTimeOut) {
    LoopbackServer server([](ServerConnection& c, int) { c.waitForClose(); });
    recordEvents();
    http.timeoutMs = 200;
    try {
        http.get(server.url("/"));
        ADD_FAILURE() << "answered";
    } catch (const TransferAborted& e) {
        EXPECT_STREQ(e.what(), "Socket readln aborted");
    }
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(http.connected());
}

TEST_F(HttpTest, ConnectionFailuresFireTheirEventsAndNoOutcome) {
    const struct {
        const char* name;
        std::string url;
        const char* event;
        const char* error;
    } rows[] = {
        {"refused port",
         "http://127.0.0.1:" + std::to_string(corvalo::testing::unusedPort()) + "/",
         "connection failed", "Connection Failed"},
        {"name that does not resolve", "http://update.corvalo.invalid/", "invalid host",
         "Null Remote Address"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        events.clear();
        recordEvents();
        http.onConnectionFailed = [this](TcpClient&) { events.push_back("connection failed"); };
        http.onInvalidHost = [this](bool&) { events.push_back("invalid host"); };
        try {
            http.get(row.url);
            ADD_FAILURE() << "connected";
        } catch (const SocketError& e) {
            EXPECT_STREQ(e.what(), row.error);
        }
        EXPECT_EQ(events, std::vector<std::string>{row.event});
    }
}

TEST_F(HttpTest, HttpsAndEmptyUrlsAreRefusedBeforeAnyConnection) {
    LoopbackServer server(respond(httpReply("200 OK", "", "")));
    int aboutToSend = 0;
    http.onAboutToSend = [&](TcpClient&) { ++aboutToSend; };
    EXPECT_THROW(http.get("https://127.0.0.1:" + std::to_string(server.port()) + "/"),
                 corvalo::Error);
    EXPECT_THROW(http.get(""), corvalo::Error);
    EXPECT_EQ(aboutToSend, 0);
    EXPECT_EQ(server.connections(), 0);
}

TEST_F(HttpTest, FileModesWriteTheBodyAndHeaderAndSendTheRequestBody) {
    corvalo::testing::TempDir dir;
    corvalo::testing::writeFile(dir / "send.dat", "raw&data");
    std::string requestBody;
    LoopbackServer server([&](ServerConnection& c, int) {
        const std::string request = c.readRequest();
        requestBody = request.substr(request.find("\r\n\r\n") + 4);
        requestBody += c.readBytes(8 - requestBody.size());
        c.send(httpReply("200 OK", "", "the body"));
    });
    http.inputFileMode = true;
    http.outputFileMode = true;
    http.body = (dir / "body.htm").string();
    http.header = (dir / "head.txt").string();
    http.post(server.url("/form"), (dir / "send.dat").string());
    EXPECT_EQ(requestBody, "raw&data");
    EXPECT_NE(server.requests()[0].find("Content-Length: 8\r\n"), std::string::npos);
    EXPECT_EQ(corvalo::testing::readFile(dir / "body.htm"), "the body");
    EXPECT_EQ(corvalo::testing::readFile(dir / "head.txt"), "HTTP/1.0 200 OK\r\n\r\n");
}

TEST_F(HttpTest, PostFormEncodesItsDataUnlessToldNotTo) {
    const struct {
        const char* name;
        bool encode;
        const char* sent;
    } rows[] = {{"encoded", true, "a+b%26c"}, {"as given", false, "a b&c"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string requestBody;
        const std::size_t length = std::string(row.sent).size();
        LoopbackServer server([&](ServerConnection& c, int) {
            const std::string request = c.readRequest();
            requestBody = request.substr(request.find("\r\n\r\n") + 4);
            requestBody += c.readBytes(length - requestBody.size());
            c.send(httpReply("200 OK", "", ""));
        });
        http.encodePostData = row.encode;
        http.post(server.url("/form"), "a b&c");
        EXPECT_EQ(requestBody, row.sent);
    }
}

}  // namespace
}  // namespace corvalo::net
