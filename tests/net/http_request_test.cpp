#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/http_client.h"
#include "net/loopback_server.h"
#include "net/test_pump.h"

namespace corvalo::net {
namespace {

using corvalo::testing::errorText;
using corvalo::testing::hostsFileOnly;
using corvalo::testing::TestPump;

const std::string kAccept =
    "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
    "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n";
const std::string kFormType = "Content-type: application/x-www-form-urlencoded\r\n";

class HttpRequestTest : public ::testing::Test {
  protected:
    TestPump pump;
    SteadyClock clock;
    HttpClient http{pump, clock, hostsFileOnly()};
};

TEST_F(HttpRequestTest, ParseUrlSetsHostPortAndPath) {
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

TEST_F(HttpRequestTest, ParseUrlRefusesEmptyHttpsAndBadPorts) {
    const struct {
        const char* url;
        const char* error;
    } rows[] = {
        {"", "Empty URL"},
        {"https://a.example/", "HTTP Secure Socket is not supported"},
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

TEST_F(HttpRequestTest, BuildRequestAddsTheProxyAndTheRequestHeaderLines) {
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
        corvalo::testing::LoopbackServer server(
            corvalo::testing::respond(corvalo::testing::httpReply("200 OK", "", "")));
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
