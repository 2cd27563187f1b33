#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/http_client.h"
#include "net/loopback_server.h"
#include "net/test_pump.h"
#include "support/temp_dir.h"

namespace corvalo::net {
namespace {

using corvalo::testing::errorText;
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

class HttpClientTest : public ::testing::Test {
  protected:
    HttpClientTest() {
        http.timeoutMs = corvalo::testing::kHungMs;
        http.onSuccess = [this](CmdType) { events += "success "; };
        http.onFailure = [this](CmdType) { events += "failure "; };
        http.onAuthenticationNeeded = [this](TcpClient&) { events += "auth "; };
        http.onRedirect = [this](bool&) { events += "redirect "; };
        http.onAboutToSend = [this](TcpClient&) { events += "send "; };
    }

    TestPump pump;
    SteadyClock clock;
    HttpClient http{pump, clock, hostsFileOnly()};
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
        {"a code beyond 16 bits is no code", httpReply("65736 Odd", "", "1.02"), "send failure ",
         kMalformed, "1.02", "no error"},
        {"a sign is no digit", "HTTP/1.0 +20 OK\r\n\r\n", "send failure ", kMalformed, "",
         "no error"},
        {"a status line without a code", "HTTP/1.0\r\n\r\n", "send failure ", kMalformed, "",
         "no error"},
        {"399 repeats without a redirect event, up to the bound", httpReply("399 Odd", "", ""),
         "send send send send send send send send send send ", 399, "", "Too many redirections"},
        {"a redirect loop stops at the bound", httpReply("301 Moved", "Location: /v.htm\r\n", ""),
         "send redirect send redirect send redirect send redirect send redirect send redirect "
         "send redirect send redirect send redirect send redirect ",
         301, "", "Too many redirections"},
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

TEST_F(HttpClientTest, HeaderWithoutEndIsRefused) {
    LoopbackServer server([](ServerConnection& c, int) {
        c.readRequest();
        const std::string line = "X-N: " + std::string(1000, 'y') + "\r\n";
        // A header of 2 MB without its end; the client stops reading at 1 MB.
        for (int i = 0; i < 2000 && c.send(i == 0 ? "HTTP/1.0 200 OK\r\n" : line); ++i) {
        }
    });
    EXPECT_EQ(errorText([&] { http.get(server.url("/")); }), "Reply header too long");
    EXPECT_EQ(events, "send ");
    EXPECT_FALSE(http.connected());
}

TEST_F(HttpClientTest, ServerThatNeverAnswersEndsByTheTimeOutDisconnected) {
    LoopbackServer silent(corvalo::testing::holdOpen);
    http.timeoutMs = 200;
    EXPECT_EQ(errorText([&] { http.get(silent.url("/")); }), "Socket readln aborted");
    EXPECT_EQ(events, "send ");
    EXPECT_FALSE(http.connected());
}

TEST_F(HttpClientTest, RedirectsToAnAbsoluteUrlAndToABareNameOnItsHostAreFollowed) {
    LoopbackServer target(
        [](ServerConnection& c, int index) {
            c.readRequest();
            c.send(index == 0
                       ? httpReply("302 Found", "Set-Cookie: id=7\r\nLocation: new.htm\r\n", "")
                       : httpReply("200 OK", "", "moved"));
        },
        2);
    LoopbackServer first(
        respond(httpReply("302 Found", "Location: " + target.url("/final.htm") + "\r\n", "")));
    http.get(first.url("/start.htm"));
    EXPECT_EQ(events, "send redirect send redirect send success ");
    EXPECT_EQ(http.body, "moved");
    EXPECT_EQ(http.url, target.url("/new.htm"));  // the bare name keeps the host and port
    const auto requests = target.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].substr(0, 30), "GET /final.htm HTTP/1.0\r\nHost:");
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

TEST_F(HttpClientTest, ParseUrlSetsHostPortAndPath) {
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
        {"scheme and host only", "http://a.example", 0, "a.example", 80, "/", "http://a.example/"},
        {"port after the host", "http://a.example:8080/a/b", 0, "a.example", 8080, "/a/b",
         "http://a.example:8080/a/b"},
        {"ftp chooses 21", "ftp://f.example/f.txt", 0, "f.example", 21, "/f.txt",
         "ftp://f.example/f.txt"},
        {"gopher chooses 70", "gopher://g.example/", 0, "g.example", 70, "/",
         "gopher://g.example/"},
        {"scheme in capitals", "HTTP://A.example/x", 8080, "A.example", 80, "/x",
         "HTTP://A.example/x"},
        {"a path stays on host and port", "/new/path", 8080, "before", 8080, "/new/path",
         "/new/path"},
        {"no scheme, port 0 becomes 80", "a.example/x", 0, "a.example", 80, "/x", "a.example/x"},
        {"no scheme with a port", "a.example:81/x", 0, "a.example", 81, "/x", "a.example:81/x"},
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

TEST_F(HttpClientTest, ParseUrlRefusesEmptyHttpsAndBadPorts) {
    const struct {
        const char* url;
        const char* error;
    } rows[] = {
        {"", "Empty URL"},
        {"HTTPS://a.example/", "HTTP Secure Socket is not supported"},
        {"http://h:80a/", "'80a' is not a valid integer value"},
        {"http://h:/", "'' is not a valid integer value"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.url);
        http.url = row.url;
        EXPECT_EQ(errorText([&] { http.parseUrl(); }), row.error);
    }
}

TEST_F(HttpClientTest, BuildRequestAddsTheProxyAndTheRequestHeaderLines) {
    const struct {
        const char* name;
        const char* proxy;
        RequestHeaders headers;
        std::string text;
    } rows[] = {
        {"through a proxy the request names the whole URL",
         "proxy.example",
         {},
         "GET http://h.example/v HTTP/1.0\r\nProxy-Connection: Keep-Alive\r\n"
         "Host: h.example\r\n" +
             kAccept + kFormType},
        {"every header and the credentials as one line",
         "",
         {"me@example.com", "Corvalo", "id=7", "http://r.example/", "Aladdin", "open sesame"},
         "GET /v HTTP/1.0\r\nHost: h.example\r\n" + kAccept +
             "User-Agent: Corvalo\r\nFrom: me@example.com\r\nCookie: id=7\r\n"
             "Referer: http://r.example/\r\nAuthorization: Basic "
             "QWxhZGRpbjpvcGVuIHNlc2FtZQ==\r\n" +
             kFormType},
        {"a user without a password sends no credentials",
         "",
         {"", "", "", "", "Aladdin", ""},
         "GET /v HTTP/1.0\r\nHost: h.example\r\n" + kAccept + kFormType},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        http.proxy = row.proxy;
        http.requestHeaders = row.headers;
        http.url = "http://h.example/v";
        http.parseUrl();
        http.buildRequest();
        EXPECT_EQ(http.sendHeader.text(), row.text);
    }
}

using Operation = std::function<void(HttpClient& http, const std::string& url)>;

TEST(HttpRequestOperations, SendTheirVerbTheirLinesAndABodyOnlyWhereOneBelongs) {
    const struct {
        const char* name;
        Operation operation;
        CmdType method;
        const char* verb;
        std::string lines;  // after the form type line
        std::string body;
    } rows[] = {
        {"GET", [](auto& h, auto& u) { h.get(u); }, CmdType::Get, "GET", "", ""},
        {"HEAD", [](auto& h, auto& u) { h.head(u); }, CmdType::Head, "HEAD", "", ""},
        {"OPTIONS", [](auto& h, auto& u) { h.options(u); }, CmdType::Options, "OPTIONS", "", ""},
        {"TRACE sends no body", [](auto& h, auto& u) { h.trace(u, "t"); }, CmdType::Trace, "TRACE",
         "", ""},
        {"DELETE sends no body",
         [](auto& h, auto& u) {
             h.sendData = "stray";
             h.deleteResource(u);
         },
         CmdType::Delete, "DELETE", "", ""},
        {"POST form-encodes", [](auto& h, auto& u) { h.post(u, "a b&c"); }, CmdType::Post, "POST",
         "Content-Length: 7\r\n", "a+b%26c"},
        {"POST as given",
         [](auto& h, auto& u) {
             h.encodePostData = false;
             h.post(u, "a b&c");
         },
         CmdType::Post, "POST", "Content-Length: 5\r\n", "a b&c"},
        {"PUT with an empty body", [](auto& h, auto& u) { h.put(u, ""); }, CmdType::Put, "PUT",
         "Content-Length: 0\r\n", ""},
        {"PATCH", [](auto& h, auto& u) { h.patch(u, "x=1"); }, CmdType::Patch, "PATCH",
         "Content-Length: 3\r\n", "x=1"},
        {"COPY names its target", [](auto& h, auto& u) { h.copy(u, "/t"); }, CmdType::Copy, "COPY",
         "URI-header: /t\r\n", ""},
        {"MOVE names its target", [](auto& h, auto& u) { h.move(u, "/t"); }, CmdType::Move, "MOVE",
         "URI-header: /t\r\n", ""},
        {"LINK names its link", [](auto& h, auto& u) { h.link(u, "/t"); }, CmdType::Link, "LINK",
         "Link: /t\r\n", ""},
        {"UNLINK names its link", [](auto& h, auto& u) { h.unlink(u, "/t"); }, CmdType::Unlink,
         "UNLINK", "Link: /t\r\n", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(respond(httpReply("200 OK", "", "")));
        TestPump pump;
        SteadyClock clock;
        HttpClient http(pump, clock, hostsFileOnly());
        http.timeoutMs = corvalo::testing::kHungMs;
        std::vector<CmdType> succeeded;
        http.onSuccess = [&](CmdType method) { succeeded.push_back(method); };
        row.operation(http, server.url("/r"));
        EXPECT_EQ(server.requests(),
                  std::vector<std::string>{std::string(row.verb) + " /r HTTP/1.0\r\n" +
                                           "Host: 127.0.0.1\r\n" + kAccept + kFormType +
                                           row.lines + "\r\n" + row.body});
        EXPECT_EQ(succeeded, std::vector<CmdType>{row.method});
    }
}

}  // namespace
}  // namespace corvalo::net
