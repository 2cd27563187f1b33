#include "net/powersock.h"

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

int liveCount = 0;
bool libraryRunning = false;
int libraryStarts = 0;

// errno after a failed socket call, as a socket code; EINTR is retried like a block.
int lastSocketError() {
    const int err = errno;
    if (err == EINTR) return kWouldBlock;
    return SocketErrorFromErrno(err);
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

TPowersock::TPowersock(MessagePump& pump, const Clock& clock,
                       const HostResolver::Options& resolverOptions)
    : pump_(pump), timer_(clock), resolver_(resolverOptions), buffer_(new char[kBufferSize]) {
    StatusMessage(8, "Create");
    timer_.SetEnabled(false);
    timer_.SetOnTimer([this](TThreadTimer&) { timerTriggered(); });
    initializeSockets();
}

TPowersock::~TPowersock() {
    // No handler of the owner runs from here on: the owner is going away too.
    destroying_ = true;
    StatusMessage(8, "Destroy");
    canceled_ = true;
    resolver_.Cancel();
    RequestCloseSocket();
    if (--liveCount == 0 && libraryRunning) {
        ares_library_cleanup();
        libraryRunning = false;
    }
}

int TPowersock::LiveCount() {
    return liveCount;
}
bool TPowersock::LibraryRunning() {
    return libraryRunning;
}
int TPowersock::LibraryStarts() {
    return libraryStarts;
}

void TPowersock::initializeSockets() {
    StatusMessage(8, "Initializing Winsock");
    ++liveCount;
    if (!libraryRunning) {
        if (ares_library_init(ARES_LIB_INIT_ALL) == ARES_SUCCESS) {
            libraryRunning = true;
            ++libraryStarts;
            const long maxSockets = sysconf(_SC_OPEN_MAX);
            wsaInfo_ = {"Version= 1.1",
                        "High Version= 1.1",
                        std::string("Description= c-ares ") + ares_version(nullptr),
                        "System= Running",
                        "Max Sockets= " + std::to_string(maxSockets),
                        "Max Udp pack size= 65467"};
        }
    }
    fd_ = libraryRunning ? makeSocket(true) : -1;
    if (fd_ < 0) {
        if (--liveCount == 0 && libraryRunning) {
            ares_library_cleanup();
            libraryRunning = false;
        }
        throw ESockError("Initializaton of windows sockets failed");
    }
}

int TPowersock::makeSocket(bool lingerOff) const {
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

void TPowersock::StatusMessage(int level, const std::string& text) {
    if (level > ReportLevel) return;
    status_ = text;
    if (!destroying_ && OnStatus) OnStatus(*this, text);
}

void TPowersock::checkSocketError(int code, int tolerated) {
    lastErrorNo_ = code;
    if (code == tolerated || code <= kWsaBase) return;
    StatusMessage(8, "Looking Up Error Message");
    throw ESockError(LookupErrorMessage(code));
}

// ---- time-outs ------------------------------------------------------------------

void TPowersock::timerOn() {
    if (TimeOut < 0) throw corvalo::Error("Range check error");
    StatusMessage(8, "Timer On");
    timedOut_ = false;
    timer_.SetInterval(static_cast<std::uint32_t>(TimeOut));
    timer_.SetEnabled(true);
}

void TPowersock::timerOff() {
    StatusMessage(8, "Timer Off");
    timer_.SetEnabled(false);
}

void TPowersock::timerTriggered() {
    StatusMessage(8, "Timer Triggered");
    timerOff();
    timedOut_ = true;
    asyncDone_ = true;
    Abort();
}

// ---- waiting --------------------------------------------------------------------

void TPowersock::waitPass(WaitFor what, int sliceMs) {
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
        const int resolverMs = resolver_.PollFds(pollFds_);
        if (resolverMs >= 0) timeoutMs = std::min(timeoutMs, resolverMs);
    }
    const std::int64_t timerMs = timer_.MsUntilDue();
    if (timerMs >= 0) timeoutMs = static_cast<int>(std::min<std::int64_t>(timeoutMs, timerMs));

    const int ready = ::poll(pollFds_.data(), pollFds_.size(), timeoutMs);
    if (ready > 0 && watchSocket && pollFds_[0].revents != 0) {
        handleSocketEvents(what, pollFds_[0].revents);
    }
    if (lookingUp_) {
        resolver_.Process(pollFds_.data() + resolverFirst, pollFds_.size() - resolverFirst);
        if (!resolver_.Busy()) {
            // The look-up's notification: AsyncOK tells whether it found an address.
            lookingUp_ = false;
            asyncOK_ = resolver_.Succeeded();
            asyncDone_ = true;
        }
    }
    pump_.ProcessMessages();
    timer_.Poll();
}

void TPowersock::handleSocketEvents(WaitFor what, short revents) {
    if (what == WaitFor::Connect) {
        int err = 0;
        socklen_t len = sizeof err;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
        if (err == 0 && (revents & POLLOUT) == 0) return;
        connecting_ = false;
        asyncOK_ = err == 0;
        if (asyncOK_) {
            connected_ = true;
            if (OnConnect) OnConnect(*this);
        } else {
            lastErrorNo_ = SocketErrorFromErrno(err);
        }
        return;
    }
    // The peer closed (or reset) the connection: once nothing is left to read, close ours.
    if ((revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0 && !DataAvailable()) {
        RequestCloseSocket();
    }
}

// ---- connecting -----------------------------------------------------------------

void TPowersock::ResolveHost() {
    StatusMessage(8, "Resolve Host");
    const std::string& full = Proxy.empty() ? Host : Proxy;
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
            if (!resolver_.Busy()) {
                lookingUp_ = false;
                asyncOK_ = resolver_.Succeeded();
                asyncDone_ = true;
                break;
            }
            waitPass(WaitFor::Nothing, kConnectSliceMs);
        }
        found = !lookingUp_ && resolver_.Succeeded();
        if (lookingUp_) resolver_.Cancel();
        lookingUp_ = false;
    }
    if (timedOut_) throw ESockError("Host Lookup Timed Out");
    if (canceled_) throw ESockError("Host Lookup Canceled");
    if (!found) {
        lastErrorNo_ = kHostNotFound;
        throw ESockError("Host Lookup Failed");
    }
    address_ = resolver_.Address();
    if (OnHostResolved) OnHostResolved(*this);
}

void TPowersock::Connect() {
    StatusMessage(8, "Connecting");
    canceled_ = false;
    if (connected_) throw ESockError("Already connected");
    int attempts = 0;
    for (;;) {
        try {
            ResolveHost();
        } catch (const ESockError& e) {
            const std::string_view what = e.what();
            if (what == "Host Lookup Timed Out" || what == "Host Lookup Canceled") throw;
            address_ = 0;
        }
        if (address_ != 0) break;
        if (attempts >= 1 || !OnInvalidHost) throw ESockError("Null Remote Address");
        bool handled = false;
        OnInvalidHost(handled);
        if (!handled) throw ESockError("Null Remote Address");
        ++attempts;
    }

    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    const std::int32_t port = Proxy.empty() ? Port : ProxyPort;
    // A port beyond 16 bits would be cut to another port without a word.
    if (port < 0 || port > 65535) throw ESockError(LookupErrorMessage(10022));
    sa.sin_port = htons(static_cast<std::uint16_t>(port));
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
    if (OnConnectionFailed) OnConnectionFailed(*this);
    if (timedOut_) throw ESockError("Connection Timed out");
    if (canceled_) throw ESockError("Connection Canceled");
    throw ESockError("Connection Failed");
}

void TPowersock::Disconnect() {
    StatusMessage(8, "Disconnecting");
    RequestCloseSocket();
}

void TPowersock::Cancel() {
    StatusMessage(8, "Canceling");
    canceled_ = true;
}

void TPowersock::Abort() {
    StatusMessage(8, "Abort");
    Cancel();
}

void TPowersock::RequestCloseSocket() {
    StatusMessage(4, "Request Close Socket");
    connected_ = false;
    connecting_ = false;
    int closeError = 0;
    if (fd_ >= 0) {
        if (::close(fd_) != 0) closeError = lastSocketError();
        fd_ = -1;
        if (closeError == 0 && !destroying_ && OnDisconnect) OnDisconnect(*this);
    }
    // Also after a failed close or a socket that could not be made: never stay without one.
    if (!destroying_) fd_ = makeSocket(false);
    if (closeError != 0) checkSocketError(closeError, kWouldBlock);
}

// ---- sending --------------------------------------------------------------------

void TPowersock::Write(std::string_view text) {
    StatusMessage(8, "Write");
    if (text.size() > kMaxWrite) throw corvalo::Error("Range check error");
    SendBuffer(text, 0);
}

void TPowersock::Writeln(std::string_view text) {
    StatusMessage(8, "Writeln");
    std::string line;
    line.reserve(text.size() + 2);
    line.append(text).append("\r\n");
    Write(line);
}

void TPowersock::SendBuffer(std::string_view buffer, std::int32_t length) {
    StatusMessage(4, "Sending Buffer");
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
        throw EAbortError("Socket send aborted");
    }
}

void TPowersock::SendFile(const std::string& fileName) {
    StatusMessage(8, "SendFile");
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
        throw EAbortError("Socket send aborted");
    }
}

void TPowersock::sendAll(const char* data, std::size_t length, bool fromFile) {
    std::size_t sent = 0;
    while (sent < length && !canceled_) {
        const ssize_t n = ::send(fd_, data + sent, length - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            if (fromFile) {
                bytesSent_ += n;
                if (OnPacketSent) OnPacketSent(*this);
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

std::string TPowersock::ReadLn() {
    StatusMessage(8, "ReadLn");
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
            throw EAbortError("Socket readln aborted");
        }
    }
}

template <typename Sink>
void TPowersock::capture(std::int64_t maxLength, Sink&& sink) {
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
                if (OnPacketRecvd) OnPacketRecvd(*this);
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
        throw EAbortError("Socket capture aborted");
    }
}

void TPowersock::CaptureString(std::string& text, std::int32_t maxLength) {
    StatusMessage(8, "Capture String");
    text.clear();
    capture(maxLength < 0 ? -1 : maxLength,
            [&text](const char* data, std::size_t n) { text.append(data, n); });
}

void TPowersock::CaptureFile(const std::string& fileName) {
    StatusMessage(8, "CaptureFile");
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out) throw corvalo::Error("Cannot create file \"" + fileName + "\"");
    capture(-1, [&out, &fileName](const char* data, std::size_t n) {
        out.write(data, static_cast<std::streamsize>(n));
        if (!out) throw corvalo::Error("Unable to write to " + fileName);
    });
}

std::string TPowersock::Transaction(const std::string& command) {
    StatusMessage(8, "Transaction");
    replyNumber_ = 0;
    Writeln(command);
    std::string reply = ReadLn();
    if (reply.empty()) return reply;
    StatusMessage(1, reply);
    std::int64_t number = 0;
    std::size_t digits = 0;
    while (digits < reply.size() && digits < 10 && reply[digits] >= '0' && reply[digits] <= '9') {
        number = number * 10 + (reply[digits] - '0');
        ++digits;
    }
    if (digits > 0) replyNumber_ = static_cast<std::int16_t>(number);
    return reply;
}

bool TPowersock::DataAvailable() {
    StatusMessage(8, "Data Available");
    char byte = 0;
    return ::recv(fd_, &byte, 1, MSG_PEEK) == 1;
}

}  // namespace corvalo::net
