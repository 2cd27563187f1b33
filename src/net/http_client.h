#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "net/header_list.h"
#include "net/tcp_client.h"

namespace corvalo::net {

// The method code of a request; each has its verb in the request line.
enum class CmdType : std::uint8_t {
    CmdGET = 0,
    CmdOPTIONS = 1,
    CmdHEAD = 2,
    CmdPOST = 3,
    CmdPUT = 4,
    CmdPATCH = 5,
    CmdCOPY = 6,
    CmdMOVE = 7,
    CmdDELETE = 8,
    CmdLINK = 9,
    CmdUNLINK = 10,
    CmdTRACE = 11,
};

// "GET ", "POST ", ...: the verb with its trailing blank.
const char* verbOf(CmdType method);

// An HTTP/1.0 client: one exchange per connection, redirects followed. A request
// operation (Get, Post, ...) returns when the exchange, and every redirect it
// follows, is over; results are in Body, Header and the events.
class HttpClient : public TcpClient {
  public:
    using CmdEvent = std::function<void(CmdType cmd)>;

    // Exchanges of one request operation, redirects and repeats included.
    static constexpr int kMaxExchanges = 10;
    // A reply header longer than this is refused: "Reply header too long".
    static constexpr std::size_t kMaxHeaderBytes = 1024 * 1024;
    static constexpr std::size_t kMaxPathLength = 256;

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
    CmdEvent onFailure;                  // status above 399
    HandledEvent onRedirect;             // status 300 to 398; Handled stops following
    SenderEvent onAuthenticationNeeded;  // status 401, after onFailure

    std::string URL;
    std::string path;
    HeaderLines sendHeader;
    CmdType method = CmdType::CmdGET;
    std::string sendData;
    std::string targetURI;
    bool encodePostData = true;
    std::string location;
    std::string receivedCookie;
    std::int32_t contentLength = 0;
    // The most body bytes a request keeps; -1 keeps all until the server closes.
    std::int32_t maxBodyLength = -1;

    void abort() override;

    virtual void doMethod();
    // Sets Port, Host and Path from URL: "http://h:8080" -> h, 8080, "/", URL "http://h:8080/".
    virtual void parseURL();
    virtual void buildRequest();
    virtual void readReplyHeader();
    virtual void sendRequest();

    void Options(const std::string& url);
    void get(const std::string& url);
    void post(const std::string& url, const std::string& data);
    void put(const std::string& url, const std::string& data);
    void head(const std::string& url);
    void patch(const std::string& url, const std::string& data);
    void deleteResource(const std::string& url);
    void trace(const std::string& url, const std::string& data);
    void Copy(const std::string& url, const std::string& target);
    void move(const std::string& url, const std::string& target);
    void link(const std::string& url, const std::string& link);
    void unlink(const std::string& url, const std::string& link);

  private:
    void request(CmdType method, const std::string& url);
};

}  // namespace corvalo::net
