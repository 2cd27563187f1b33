#include "net/tcp_client.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include <ares.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace corvalo::net {
namespace {

// A wait slice: short enough that the window answers at once, long enough not to spin.
constexpr int kSliceMs = 10;
// The look-up and connect waits of the original slept 2 ms per pass.
constexpr int kConnectSliceMs = 2;

int gLiveCount = 0;
bool gLibraryRunning = false;
int gLibraryStarts = 0;

// errno after a failed socket call, as a socket code; EINTR is retried like a block.
int lastSocketError() {
    const int err = errno;
    if (err == EINTR) return kWouldBlock;
    return socketErrorFromErrno(err);
}

// Switches the time-out off however the wait ends.
class TimerOffGuard {
  public:
    explicit TimerOffGuard(std::function<void()> off) : off_(std::move(off)) {}
    ~TimerOffGuard() { off_(); }
    TimerOffGuard(const TimerOffGuard&) = delete;
    TimerOffGuard& operator=(const TimerOffGuard&) = delete;

  private:
    std::function<void()> off_;
};

}  // namespace

TcpClient::TcpClient(MessagePump& pump, const Clock& clock,
                       const HostResolver::Options& resolverOptions)
    : pump_(pump), timer_(clock), resolver_(resolverOptions), buffer_(new char[kBufferSize]) {
    statusMessage(8, "Create");
    timer_.setEnabled(false);
    timer_.setOnTimer([this](TimeoutTimer&) { timerTriggered(); });
    initializeSockets();
}

TcpClient::~TcpClient() {
    // No handler of the owner runs from here on: the owner is going away too.
    destroying_ = true;
    statusMessage(8, "Destroy");
    canceled_ = true;
    resolver_.cancel();
    requestCloseSocket();
    if (--gLiveCount == 0 && gLibraryRunning) {
        ares_library_cleanup();
        gLibraryRunning = false;
    }
}

int TcpClient::liveCount() {
    return gLiveCount;
}
bool TcpClient::libraryRunning() {
    return gLibraryRunning;
}
int TcpClient::libraryStarts() {
    return gLibraryStarts;
}

void TcpClient::initializeSockets() {
    statusMessage(8, "Initializing Winsock");
    ++gLiveCount;
    if (!gLibraryRunning) {
        if (ares_library_init(ARES_LIB_INIT_ALL) == ARES_SUCCESS) {
            gLibraryRunning = true;
            ++gLibraryStarts;
            const long maxSockets = sysconf(_SC_OPEN_MAX);
            wsaInfo_ = {"Version= 1.1",
                        "High Version= 1.1",
                        std::string("Description= c-ares ") + ares_version(nullptr),
                        "System= Running",
                        "Max Sockets= " + std::to_string(maxSockets),
                        "Max Udp pack size= 65467"};
        }
    }
    fd_ = gLibraryRunning ? makeSocket(true) : -1;
    if (fd_ < 0) {
        if (--gLiveCount == 0 && gLibraryRunning) {
            ares_library_cleanup();
            gLibraryRunning = false;
        }
        throw SocketError("Initializaton of windows sockets failed");
    }
}

int TcpClient::makeSocket(bool lingerOff) const {
    const int fd =
        ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, lingerOff ? IPPROTO_TCP : 0);
    if (fd < 0 || !lingerOff) return fd;
    // Linger on with time 0: closing resets the connection at once.
    const linger lin{1, 0};
    if (::setsockopt(fd, SOL_SOCKET, SO_LINGER, &lin, sizeof lin) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void TcpClient::statusMessage(int level, const std::string& text) {
    if (level > reportLevel) return;
    status_ = text;
    if (!destroying_ && onStatus) onStatus(*this, text);
}

void TcpClient::checkSocketError(int code, int tolerated) {
    lastErrorNo_ = code;
    if (code == tolerated || code <= kWsaBase) return;
    statusMessage(8, "Looking Up Error Message");
    throw SocketError(lookupErrorMessage(code));
}

// ---- time-outs ------------------------------------------------------------------

void TcpClient::timerOn() {
    if (timeOut < 0) throw corvalo::Error("Range check error");
    statusMessage(8, "Timer On");
    timedOut_ = false;
    timer_.setInterval(static_cast<std::uint32_t>(timeOut));
    timer_.setEnabled(true);
}

void TcpClient::timerOff() {
    statusMessage(8, "Timer Off");
    timer_.setEnabled(false);
}

void TcpClient::timerTriggered() {
    statusMessage(8, "Timer Triggered");
    timerOff();
    timedOut_ = true;
    asyncDone_ = true;
    abort();
}

// ---- waiting --------------------------------------------------------------------

void TcpClient::waitPass(WaitFor what, int sliceMs) {
    pollFds_.clear();
    const bool watchSocket =
        fd_ >= 0 && ((what == WaitFor::Connect && connecting_) ||
                     ((what == WaitFor::Read || what == WaitFor::Write) && connected_));
    if (watchSocket) {
        short events = POLLIN | POLLRDHUP;
        if (what != WaitFor::Read) events = POLLOUT;
        pollFds_.push_back(pollfd{fd_, events, 0});
    }
    const std::size_t resolverFirst = pollFds_.size();
    int timeoutMs = sliceMs;
    if (lookingUp_) {
        const int resolverMs = resolver_.pollFds(pollFds_);
        if (resolverMs >= 0) timeoutMs = std::min(timeoutMs, resolverMs);
    }
    const std::int64_t timerMs = timer_.msUntilDue();
    if (timerMs >= 0) timeoutMs = static_cast<int>(std::min<std::int64_t>(timeoutMs, timerMs));

    const int ready = ::poll(pollFds_.data(), pollFds_.size(), timeoutMs);
    if (ready > 0 && watchSocket && pollFds_[0].revents != 0) {
        handleSocketEvents(what, pollFds_[0].revents);
    }
    if (lookingUp_) {
        resolver_.process(pollFds_.data() + resolverFirst, pollFds_.size() - resolverFirst);
        if (!resolver_.busy()) {
            // The look-up's notification: asyncOK tells whether it found an address.
            lookingUp_ = false;
            asyncOK_ = resolver_.succeeded();
            asyncDone_ = true;
        }
    }
    pump_.processMessages();
    timer_.poll();
}

void TcpClient::handleSocketEvents(WaitFor what, short revents) {
    if (what == WaitFor::Connect) {
        int err = 0;
        socklen_t len = sizeof err;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
        if (err == 0 && (revents & POLLOUT) == 0) return;
        connecting_ = false;
        asyncOK_ = err == 0;
        if (asyncOK_) {
            connected_ = true;
            if (onConnect) onConnect(*this);
        } else {
            lastErrorNo_ = socketErrorFromErrno(err);
        }
        return;
    }
    // The peer closed (or reset) the connection: once nothing is left to read, close ours.
    if ((revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0 && !dataAvailable()) {
        requestCloseSocket();
    }
}

// ---- connecting -----------------------------------------------------------------

void TcpClient::resolveHost() {
    statusMessage(8, "Resolve Host");
    const std::string& full = proxy.empty() ? host : proxy;
    // The name ends at a NUL byte, as a C string does.
    const std::string name(full.c_str());
    in_addr dotted{};
    if (::inet_pton(AF_INET, name.c_str(), &dotted) == 1) {
        address_ = dotted.s_addr;
        return;
    }
    address_ = 0;
    timerOn();
    asyncDone_ = false;
    bool found = false;
    {
        TimerOffGuard guard([this] { timerOff(); });
        lookingUp_ = true;
        resolver_.Start(name);
        while (!asyncDone_ && !timedOut_ && !canceled_) {
            if (!resolver_.busy()) {
                lookingUp_ = false;
                asyncOK_ = resolver_.succeeded();
                asyncDone_ = true;
                break;
            }
            waitPass(WaitFor::Nothing, kConnectSliceMs);
        }
        found = !lookingUp_ && resolver_.succeeded();
        if (lookingUp_) resolver_.cancel();
        lookingUp_ = false;
    }
    if (timedOut_) throw SocketError("Host Lookup Timed Out");
    if (canceled_) throw SocketError("Host Lookup Canceled");
    if (!found) {
        lastErrorNo_ = kHostNotFound;
        throw SocketError("Host Lookup Failed");
    }
    address_ = resolver_.address();
    if (onHostResolved) onHostResolved(*this);
}

void TcpClient::Connect() {
    statusMessage(8, "Connecting");
    canceled_ = false;
    if (connected_) throw SocketError("Already connected");
    int attempts = 0;
    for (;;) {
        try {
            resolveHost();
        } catch (const SocketError& e) {
            const std::string_view what = e.what();
            if (what == "Host Lookup Timed Out" || what == "Host Lookup Canceled") throw;
            address_ = 0;
        }
        if (address_ != 0) break;
        if (attempts >= 1 || !onInvalidHost) throw SocketError("Null Remote Address");
        bool handled = false;
        onInvalidHost(handled);
        if (!handled) throw SocketError("Null Remote Address");
        ++attempts;
    }

    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    const std::int32_t target = proxy.empty() ? port : proxyPort;
    // A port beyond 16 bits would be cut to another port without a word.
    if (target < 0 || target > 65535) throw SocketError(lookupErrorMessage(10022));
    sa.sin_port = htons(static_cast<std::uint16_t>(target));
    sa.sin_addr.s_addr = address_;

    asyncDone_ = false;
    asyncOK_ = true;
    connecting_ = true;
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0) {
        // A non-blocking connect that has begun is "would block", not a failure.
        const int code = errno == EINPROGRESS ? kWouldBlock : lastSocketError();
        try {
            checkSocketError(code, kWouldBlock);
        } catch (...) {
            connecting_ = false;
            throw;
        }
    }
    timerOn();
    {
        TimerOffGuard guard([this] { timerOff(); });
        while (!connected_ && !timedOut_ && !canceled_ && asyncOK_) {
            waitPass(WaitFor::Connect, kConnectSliceMs);
        }
    }
    connecting_ = false;
    if (!timedOut_ && !canceled_ && asyncOK_) return;
    if (onConnectionFailed) onConnectionFailed(*this);
    if (timedOut_) throw SocketError("Connection Timed out");
    if (canceled_) throw SocketError("Connection Canceled");
    throw SocketError("Connection Failed");
}

void TcpClient::disconnect() {
    statusMessage(8, "Disconnecting");
    requestCloseSocket();
}

void TcpClient::cancel() {
    statusMessage(8, "Canceling");
    canceled_ = true;
}

void TcpClient::abort() {
    statusMessage(8, "Abort");
    cancel();
}

void TcpClient::requestCloseSocket() {
    statusMessage(4, "Request Close Socket");
    connected_ = false;
    connecting_ = false;
    int closeError = 0;
    if (fd_ >= 0) {
        if (::close(fd_) != 0) closeError = lastSocketError();
        fd_ = -1;
        if (closeError == 0 && !destroying_ && onDisconnect) onDisconnect(*this);
    }
    // Also after a failed close or a socket that could not be made: never stay without one.
    if (!destroying_) fd_ = makeSocket(false);
    if (closeError != 0) checkSocketError(closeError, kWouldBlock);
}

// ---- sending --------------------------------------------------------------------

void TcpClient::Write(std::string_view text) {
    statusMessage(8, "Write");
    if (text.size() > kMaxWrite) throw corvalo::Error("Range check error");
    sendBuffer(text, 0);
}

void TcpClient::writeln(std::string_view text) {
    statusMessage(8, "Writeln");
    std::string line;
    line.reserve(text.size() + 2);
    line.append(text).append("\r\n");
    Write(line);
}

void TcpClient::sendBuffer(std::string_view buffer, std::int32_t length) {
    statusMessage(4, "Sending Buffer");
    timerOn();
    {
        TimerOffGuard guard([this] { timerOff(); });
        if (!canceled_) {
            std::size_t count = 0;
            if (length == 0) {
                count = std::min(buffer.find('\0'), buffer.size());
            } else if (length < 0 || static_cast<std::size_t>(length) > kMaxWrite ||
                       static_cast<std::size_t>(length) > buffer.size()) {
                throw corvalo::Error("Range check error");
            } else {
                count = static_cast<std::size_t>(length);
            }
            sendAll(buffer.data(), count, false);
        }
    }
    if (canceled_) {
        canceled_ = false;
        throw TransferAborted("Socket send aborted");
    }
}

void TcpClient::sendFile(const std::string& fileName) {
    statusMessage(8, "SendFile");
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw corvalo::Error("Cannot open file \"" + fileName + "\"");
    while (!canceled_) {
        in.read(buffer_.get(), static_cast<std::streamsize>(kBufferSize));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0) break;
        sendAll(buffer_.get(), got, true);
    }
    if (canceled_) {
        canceled_ = false;
        throw TransferAborted("Socket send aborted");
    }
}

void TcpClient::sendAll(const char* data, std::size_t length, bool fromFile) {
    std::size_t sent = 0;
    while (sent < length && !canceled_) {
        const ssize_t n = ::send(fd_, data + sent, length - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            if (fromFile) {
                bytesSent_ += n;
                if (onPacketSent) onPacketSent(*this);
                waitPass(WaitFor::Nothing, 0);
            }
            continue;
        }
        if (n == 0) return;
        checkSocketError(lastSocketError(), kWouldBlock);
        // A full send queue: wait for room, letting Cancel and the time-out through.
        waitPass(WaitFor::Write, kSliceMs);
    }
}

// ---- receiving ------------------------------------------------------------------

std::string TcpClient::ReadLn() {
    statusMessage(8, "ReadLn");
    timerOn();
    TimerOffGuard guard([this] { timerOff(); });
    std::string line;
    for (;;) {
        const ssize_t peeked = ::recv(fd_, buffer_.get(), kBufferSize, MSG_PEEK);
        if (peeked == 0) return {};  // closed before a line end: no line
        if (peeked > 0) {
            const auto count = static_cast<std::size_t>(peeked);
            const auto* lf = static_cast<const char*>(std::memchr(buffer_.get(), '\n', count));
            const std::size_t want =
                lf != nullptr ? static_cast<std::size_t>(lf - buffer_.get()) + 1 : count;
            // Takes what was peeked: the same bytes, at the head of the queue.
            const ssize_t took = ::recv(fd_, buffer_.get(), want, 0);
            if (took < 0) {
                checkSocketError(lastSocketError(), kWouldBlock);
            } else {
                const auto taken = static_cast<std::size_t>(took);
                // An overlong line keeps its start; the rest is read and dropped.
                const std::size_t room = kBufferSize - std::min(kBufferSize, line.size());
                line.append(buffer_.get(), std::min(taken, room));
                if (taken == want && lf != nullptr) return line;
            }
        } else {
            const int code = lastSocketError();
            lastErrorNo_ = code;
            if (code == kNotConnected) return {};
            checkSocketError(code, kWouldBlock);
        }
        waitPass(WaitFor::Read, kSliceMs);
        if (canceled_) {
            canceled_ = false;
            throw TransferAborted("Socket readln aborted");
        }
    }
}

template <typename Sink>
void TcpClient::capture(std::int64_t maxLength, Sink&& sink) {
    bytesRecvd_ = 0;
    timerOn();
    {
        TimerOffGuard guard([this] { timerOff(); });
        while (!canceled_ && (maxLength < 0 || bytesRecvd_ < maxLength)) {
            std::size_t want = kBufferSize;
            if (maxLength >= 0) {
                want = std::min(want, static_cast<std::size_t>(maxLength - bytesRecvd_));
            }
            const ssize_t n = ::recv(fd_, buffer_.get(), want, 0);
            if (n == 0) break;
            if (n > 0) {
                sink(buffer_.get(), static_cast<std::size_t>(n));
                bytesRecvd_ += n;
                if (onPacketRecvd) onPacketRecvd(*this);
                timerOn();  // the time-out counts from the last piece
            } else {
                const int code = lastSocketError();
                lastErrorNo_ = code;
                if (code == kNotConnected) break;
                checkSocketError(code, kWouldBlock);
            }
            waitPass(WaitFor::Read, kSliceMs);
        }
    }
    if (canceled_) {
        canceled_ = false;
        throw TransferAborted("Socket capture aborted");
    }
}

void TcpClient::captureString(std::string& text, std::int32_t maxLength) {
    statusMessage(8, "Capture String");
    text.clear();
    capture(maxLength < 0 ? -1 : maxLength,
            [&text](const char* data, std::size_t n) { text.append(data, n); });
}

void TcpClient::captureFile(const std::string& fileName) {
    statusMessage(8, "CaptureFile");
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out) throw corvalo::Error("Cannot create file \"" + fileName + "\"");
    capture(-1, [&out, &fileName](const char* data, std::size_t n) {
        out.write(data, static_cast<std::streamsize>(n));
        if (!out) throw corvalo::Error("Unable to write to " + fileName);
    });
}

std::string TcpClient::transaction(const std::string& command) {
    statusMessage(8, "Transaction");
    replyNumber_ = 0;
    writeln(command);
    std::string reply = ReadLn();
    if (reply.empty()) return reply;
    statusMessage(1, reply);
    std::int64_t number = 0;
    std::size_t digits = 0;
    while (digits < reply.size() && digits < 10 && reply[digits] >= '0' && reply[digits] <= '9') {
        number = number * 10 + (reply[digits] - '0');
        ++digits;
    }
    if (digits > 0) replyNumber_ = static_cast<std::int16_t>(number);
    return reply;
}

bool TcpClient::dataAvailable() {
    statusMessage(8, "Data Available");
    char byte = 0;
    return ::recv(fd_, &byte, 1, MSG_PEEK) == 1;
}

}  // namespace corvalo::net
