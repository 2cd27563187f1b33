#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <poll.h>

#include "net/host_resolver.h"
#include "net/message_pump.h"
#include "net/socket_error.h"
#include "net/timeout_timer.h"

namespace corvalo::net {

// One TCP client socket over non-blocking POSIX sockets. No call blocks: every
// wait is a loop that polls the socket for a short slice and then runs the
// program's pending events through the MessagePump, so a handler may cancel()
// while a request waits. One request at a time; the owner must not destroy the
// component from inside one of its own waits.
//
// Between requests the component holds one open, unconnected socket: one is made
// at creation and a fresh one after every close.
class TcpClient {
  public:
    using SenderEvent = std::function<void(TcpClient& sender)>;
    using StatusEvent = std::function<void(TcpClient& sender, const std::string& status)>;
    using HandledEvent = std::function<void(bool& handled)>;

    static constexpr std::size_t kBufferSize = 65536;
    // The longest text Write sends, and the longest line ReadLn keeps.
    static constexpr std::size_t kMaxWrite = 65535;

    TcpClient(MessagePump& pump, const Clock& clock,
               const HostResolver::Options& resolverOptions = HostResolver::Options{});
    virtual ~TcpClient();
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    // Where to connect: Proxy on proxyPort when Proxy is not empty, else Host on Port.
    std::string host;
    std::int32_t port = 0;
    std::string proxy;
    std::int32_t proxyPort = 0;
    // Milliseconds for each wait; 0 waits without limit. Negative: range error.
    std::int32_t timeOut = 0;
    // Statuses of this level or below are reported through Status and onStatus.
    std::int32_t reportLevel = 0;

    SenderEvent onDisconnect;
    SenderEvent onConnect;
    HandledEvent onInvalidHost;  // set Handled after changing Host or Proxy to try again
    SenderEvent onHostResolved;
    StatusEvent onStatus;
    SenderEvent onConnectionFailed;
    SenderEvent onPacketRecvd;
    SenderEvent onPacketSent;

    const std::string& status() const { return status_; }
    bool canceled() const { return canceled_; }
    bool timedOut() const { return timedOut_; }
    bool connected() const { return connected_; }
    bool asyncOK() const { return asyncOK_; }
    bool asyncDone() const { return asyncDone_; }
    int lastErrorNo() const { return lastErrorNo_; }
    std::int16_t replyNumber() const { return replyNumber_; }
    std::int64_t bytesRecvd() const { return bytesRecvd_; }
    std::int64_t bytesSent() const { return bytesSent_; }
    // The resolved IPv4 address of the last resolveHost, in network byte order.
    std::uint32_t address() const { return address_; }
    const std::vector<std::string>& wsaInfo() const { return wsaInfo_; }

    // Components alive in the process; the resolver library runs while it is above 0.
    static int liveCount();
    static bool libraryRunning();
    // How often the resolver library was started: once per stretch of live components.
    static int libraryStarts();

    virtual void Connect();
    virtual void disconnect();
    void cancel();
    virtual void abort();
    void resolveHost();

    // Sends the text up to its first NUL byte; longer than kMaxWrite: range error.
    void Write(std::string_view text);
    void writeln(std::string_view text);
    // Sends `length` bytes of `buffer`; 0 sends up to its first NUL byte.
    void sendBuffer(std::string_view buffer, std::int32_t length);
    void sendFile(const std::string& fileName);

    // One line with its line end; empty when the connection closes first. A line
    // longer than kBufferSize keeps its first kBufferSize bytes; the rest is dropped.
    std::string ReadLn();
    // Receives until the peer closes, or until `text` holds maxLength bytes (-1: no limit).
    void captureString(std::string& text, std::int32_t maxLength);
    void captureFile(const std::string& fileName);
    // Writeln the command and ReadLn the reply; replyNumber := its leading digits.
    virtual std::string transaction(const std::string& command);
    bool dataAvailable();
    void requestCloseSocket();

  protected:
    void statusMessage(int level, const std::string& text);
    void setReplyNumber(std::int16_t value) { replyNumber_ = value; }
    void setAsyncDone(bool value) { asyncDone_ = value; }
    // Raises SocketError with the code's text unless it is `tolerated` or not above 10000.
    void checkSocketError(int code, int tolerated);

  private:
    enum class WaitFor { Nothing, Connect, Read, Write };

    void initializeSockets();
    int makeSocket(bool lingerOff) const;
    void timerOn();
    void timerOff();
    void timerTriggered();
    // One pass of every wait: poll for up to sliceMs, handle what the socket and the
    // resolver report, run the pending events, then the time-out timer.
    void waitPass(WaitFor what, int sliceMs);
    void handleSocketEvents(WaitFor what, short revents);
    void sendAll(const char* data, std::size_t length, bool fromFile);
    template <typename Sink>
    void capture(std::int64_t maxLength, Sink&& sink);

    MessagePump& pump_;
    TimeoutTimer timer_;
    HostResolver resolver_;
    std::unique_ptr<char[]> buffer_;
    std::vector<pollfd> pollFds_;
    std::vector<std::string> wsaInfo_;

    int fd_ = -1;
    std::uint32_t address_ = 0;
    std::string status_;
    bool canceled_ = false;
    bool timedOut_ = false;
    bool connected_ = false;
    bool connecting_ = false;
    bool lookingUp_ = false;
    bool asyncOK_ = true;
    bool asyncDone_ = false;
    bool destroying_ = false;
    int lastErrorNo_ = 0;
    std::int16_t replyNumber_ = 0;
    std::int64_t bytesRecvd_ = 0;
    std::int64_t bytesSent_ = 0;
};

}  // namespace corvalo::net
