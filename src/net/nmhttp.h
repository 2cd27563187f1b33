#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "net/header_list.h"
#include "net/powersock.h"

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
const char* VerbOf(CmdType method);

// An HTTP/1.0 client: one exchange per connection, redirects followed. A request
// operation (Get, Post, ...) returns when the exchange, and every redirect it
// follows, is over; results are in Body, Header and the events.
class TNMHTTP : public TPowersock {
  public:
    using CmdEvent = std::function<void(CmdType cmd)>;

    // Exchanges of one request operation, redirects and repeats included.
    static constexpr int kMaxExchanges = 10;
    // A reply header longer than this is refused: "Reply header too long".
    static constexpr std::size_t kMaxHeaderBytes = 1024 * 1024;
    static constexpr std::size_t kMaxPathLength = 256;

    TNMHTTP(MessagePump& pump, const Clock& clock,
            const HostResolver::Options& resolverOptions = HostResolver::Options{});

    // The reply body; with InputFileMode the name of the file that receives it.
    std::string Body = "Default.htm";
    // The status line and header lines with their line ends, up to the empty line;
    // with OutputFileMode the name of the file that receives them.
    std::string Header = "Head.txt";
    THeaderInfo HeaderInfo;
    bool InputFileMode = false;
    // Also: the request body is read from the file named by SendData.
    bool OutputFileMode = false;
    SenderEvent OnAboutToSend;
    CmdEvent OnSuccess;                  // status below 299 (0 too: no status line)
    CmdEvent OnFailure;                  // status above 399
    HandledEvent OnRedirect;             // status 300 to 398; Handled stops following
    SenderEvent OnAuthenticationNeeded;  // status 401, after OnFailure

    std::string URL;
    std::string Path;
    TExStringList SendHeader;
    CmdType Method = CmdType::CmdGET;
    std::string SendData;
    std::string TargetURI;
    bool EncodePostData = true;
    std::string Location;
    std::string ReceivedCookie;
    std::int32_t ContentLength = 0;
    // The most body bytes a request keeps; -1 keeps all until the server closes.
    std::int32_t MaxBodyLength = -1;

    void Abort() override;

    virtual void DoMethod();
    // Sets Port, Host and Path from URL: "http://h:8080" -> h, 8080, "/", URL "http://h:8080/".
    virtual void ParseURL();
    virtual void BuildRequest();
    virtual void ReadReplyHeader();
    virtual void SendRequest();

    void Options(const std::string& url);
    void Get(const std::string& url);
    void Post(const std::string& url, const std::string& data);
    void Put(const std::string& url, const std::string& data);
    void Head(const std::string& url);
    void Patch(const std::string& url, const std::string& data);
    void Delete(const std::string& url);
    void Trace(const std::string& url, const std::string& data);
    void Copy(const std::string& url, const std::string& target);
    void Move(const std::string& url, const std::string& target);
    void Link(const std::string& url, const std::string& link);
    void Unlink(const std::string& url, const std::string& link);

  private:
    void request(CmdType method, const std::string& url);
};

}  // namespace corvalo::net
