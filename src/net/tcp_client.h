#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <poll.h>
#include <sys/types.h>

#include "net/host_resolver.h"
#include "net/message_pump.h"
#include "net/socket_error.h"
#include "net/timeout_timer.h"

namespace corvalo::net {

// How much the component reports through status() and onStatus: a report is made
// when its level is not above reportLevel.
enum class StatusLevel : std::int32_t {
    Off = 0,       // nothing is reported
    Reply = 1,     // the reply line of a transaction
    Outcome = 2,   // "Transaction Completed"
    Transfer = 4,  // "Sending Buffer", "Request Close Socket"
    Detail = 8,    // every step
};

// One TCP client socket over non-blocking POSIX sockets. No call blocks: every
// wait is a loop that polls the socket for a short slice and then runs the
// program's pending events through the MessagePump, so a handler may cancel()
// while a request waits. One request at a time; the owner must not destroy the
// component from inside one of its own waits.
//
// Constructing never fails: the socket is made when connect() needs one, and let go
// at every close.
class TcpClient {
  public:
    using SenderEvent = std::function<void(TcpClient& sender)>;
    using StatusEvent = std::function<void(TcpClient& sender, const std::string& status)>;
    using HandledEvent = std::function<void(bool& handled)>;

    static constexpr std::size_t kBufferSize = 65536;
    // The longest text write() sends.
    static constexpr std::size_t kMaxWrite = 65535;

    TcpClient(MessagePump& pump, const Clock& clock,
              const HostResolver::Options& resolverOptions = HostResolver::Options{});
    virtual ~TcpClient();
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    // Where to connect: proxy on proxyPort when proxy is not empty, else host on port.
    std::string host;
    std::int32_t port = 0;
    std::string proxy;
    std::int32_t proxyPort = 0;
    // Milliseconds for each wait; 0 waits without limit. Negative: range error.
    std::int32_t timeoutMs = 0;
    StatusLevel reportLevel = StatusLevel::Off;

    SenderEvent onDisconnect;
    SenderEvent onConnect;
    HandledEvent onInvalidHost;  // set handled after changing host or proxy to try again
    SenderEvent onHostResolved;
    StatusEvent onStatus;
    SenderEvent onConnectionFailed;
    SenderEvent onPacketReceived;
    SenderEvent onPacketSent;

    const std::string& status() const { return status_; }
    bool canceled() const { return canceled_; }
    bool timedOut() const { return timedOut_; }
    bool connected() const { return connected_; }
    bool asyncOk() const { return asyncOk_; }
    bool asyncDone() const { return asyncDone_; }
    // The socket code of the last failure read: 10061 for a refused connection.
    int lastError() const { return lastError_; }
    // The number a reply began with: "250 OK" -> 250; 0 when none.
    std::int64_t replyNumber() const { return replyNumber_; }
    std::int64_t bytesReceived() const { return bytesReceived_; }
    std::int64_t bytesSent() const { return bytesSent_; }
    // The resolved IPv4 address of the last resolveHost, in network byte order.
    std::uint32_t address() const { return address_; }
    // Six "Name= value" lines about the resolver library, from the component that
    // started it; empty on the others.
    const std::vector<std::string>& libraryInfo() const { return libraryInfo_; }

    // Components alive in the process.
    static int liveCount();

    virtual void connect();
    virtual void disconnect();
    void cancel();
    virtual void abort();
    void resolveHost();

    // Sends the text up to its first NUL byte; longer than kMaxWrite: range error.
    void write(std::string_view text);
    void writeln(std::string_view text);
    // Sends `length` bytes of `buffer`; 0 sends up to its first NUL byte.
    void sendBuffer(std::string_view buffer, std::int32_t length);
    void sendFile(const std::string& fileName);

    // One line with its line end; empty when the connection closes first. A line
    // longer than kBufferSize keeps its first kBufferSize bytes; the rest is dropped.
    std::string readLine();
    // Receives until the peer closes, or until `text` holds maxLength bytes (-1: no limit).
    void captureString(std::string& text, std::int32_t maxLength);
    void captureFile(const std::string& fileName);
    // writeln the command and readLine the reply; replyNumber := its leading digits
    // (at most ten).
    virtual std::string transaction(const std::string& command);
    bool dataAvailable();
    void requestCloseSocket();

  protected:
    void statusMessage(StatusLevel level, const std::string& text);
    void setReplyNumber(std::int64_t value) { replyNumber_ = value; }
    void setAsyncDone(bool value) { asyncDone_ = value; }
    // Raises SocketError with the code's text unless it is `tolerated` or not above 10000.
    void checkSocketError(int code, int tolerated);

  private:
    enum class WaitFor { Nothing, Connect, Read, Write };

    // Makes the socket for the next connection: "Initializaton of windows sockets failed".
    void ensureSocket();
    void timerOn();
    void timerOff();
    void timerTriggered();
    // One pass of every wait: poll for up to sliceMs, handle what the socket and the
    // resolver report, run the pending events, then the time-out timer.
    void waitPass(WaitFor what, int sliceMs);
    void handleSocketEvents(WaitFor what, short revents);
    // Waits for the look-up of `name`; true when it found an address.
    bool lookUp(const std::string& name);
    // recv() and send() on the socket; without one they fail as "not connected".
    ssize_t receive(char* data, std::size_t size, int flags);
    ssize_t sendSome(const char* data, std::size_t size);
    void sendAll(const char* data, std::size_t length, bool fromFile);
    template <typename Sink>
    void capture(std::int64_t maxLength, Sink&& sink);

    MessagePump& pump_;
    TimeoutTimer timer_;
    HostResolver resolver_;
    std::unique_ptr<char[]> buffer_;
    std::vector<pollfd> pollFds_;
    std::vector<std::string> libraryInfo_;

    int fd_ = -1;
    // The first socket resets its connection on close; later ones close it gracefully.
    bool nextSocketResets_ = true;
    std::uint32_t address_ = 0;
    std::string status_;
    bool canceled_ = false;
    bool timedOut_ = false;
    bool connected_ = false;
    bool connecting_ = false;
    bool lookingUp_ = false;
    bool asyncOk_ = true;
    bool asyncDone_ = false;
    bool destroying_ = false;
    int lastError_ = 0;
    std::int64_t replyNumber_ = 0;
    std::int64_t bytesReceived_ = 0;
    std::int64_t bytesSent_ = 0;
};

}  // namespace corvalo::net
