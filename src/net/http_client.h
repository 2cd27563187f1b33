#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "net/header_list.h"
#include "net/tcp_client.h"

namespace corvalo::net {

// The method of a request; each has its verb in the request line.
enum class CmdType : std::uint8_t {
    Get = 0,
    Options = 1,
    Head = 2,
    Post = 3,
    Put = 4,
    Patch = 5,
    Copy = 6,
    Move = 7,
    Delete = 8,
    Link = 9,
    Unlink = 10,
    Trace = 11,
};

// "GET ", "POST ", ...: the verb with its trailing blank.
const char* verbOf(CmdType method);

// An HTTP/1.0 client: one exchange per connection, redirects followed. A request
// operation (get, post, ...) returns when the exchange, and every redirect it
// follows, is over; results are in body, header and the events.
class HttpClient : public TcpClient {
  public:
    using CmdEvent = std::function<void(CmdType cmd)>;

    // Exchanges of one request operation, redirects and repeats included.
    static constexpr int kMaxExchanges = 10;
    // A reply header longer than this is refused: "Reply header too long".
    static constexpr std::size_t kMaxHeaderBytes = 1024 * 1024;
    static constexpr std::size_t kMaxPathLength = 256;
    // replyNumber() of a status line whose code is not three digits: a failed reply.
    static constexpr std::int64_t kMalformedStatus = -1;

    HttpClient(MessagePump& pump, const Clock& clock,
               const HostResolver::Options& resolverOptions = HostResolver::Options{});

    // The reply body; with inputFileMode the name of the file that receives it.
    std::string body = "Default.htm";
    // The status line and header lines with their line ends, up to the empty line;
    // with outputFileMode the name of the file that receives them.
    std::string header = "Head.txt";
    RequestHeaders requestHeaders;
    bool inputFileMode = false;
    // Also: the request body is read from the file named by sendData.
    bool outputFileMode = false;
    SenderEvent onAboutToSend;
    CmdEvent onSuccess;                  // status below 299 (0 too: no status line)
    CmdEvent onFailure;                  // status above 399, or a malformed status line
    HandledEvent onRedirect;             // status 300 to 398; handled stops following
    SenderEvent onAuthenticationNeeded;  // status 401, after onFailure

    std::string url;
    std::string path;
    HeaderLines sendHeader;
    CmdType method = CmdType::Get;
    std::string sendData;
    std::string targetUri;
    bool encodePostData = true;
    // Values of the last reply's Location and Set-Cookie lines, without CR, LF and NUL:
    // they go into the next request.
    std::string location;
    std::string receivedCookie;
    std::int64_t contentLength = 0;
    // The most body bytes a request keeps; -1 keeps all until the server closes.
    std::int32_t maxBodyLength = -1;

    void abort() override;

    // Runs exchanges for url until a reply that is not a redirect or repeat.
    virtual void runExchanges();
    // Sets port, host and path from url: "http://h:8080" -> h, 8080, "/", url "http://h:8080/".
    virtual void parseUrl();
    virtual void buildRequest();
    virtual void readReplyHeader();
    virtual void sendRequest();

    void options(const std::string& requestUrl);
    void get(const std::string& requestUrl);
    void post(const std::string& requestUrl, const std::string& data);
    void put(const std::string& requestUrl, const std::string& data);
    void head(const std::string& requestUrl);
    void patch(const std::string& requestUrl, const std::string& data);
    void deleteResource(const std::string& requestUrl);
    void trace(const std::string& requestUrl, const std::string& data);
    void copy(const std::string& requestUrl, const std::string& target);
    void move(const std::string& requestUrl, const std::string& target);
    void link(const std::string& requestUrl, const std::string& linkTarget);
    void unlink(const std::string& requestUrl, const std::string& linkTarget);

  private:
    void request(CmdType cmd, const std::string& requestUrl);
};

}  // namespace corvalo::net
