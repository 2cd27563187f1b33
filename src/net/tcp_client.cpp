#include "net/tcp_client.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

#include <ares.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/tcp_client_detail.h"

namespace corvalo::net {
namespace {

// The look-up and connect waits poll in short slices, so the connection is seen soon
// after it is made.
constexpr int kConnectSliceMs = 2;

int gLiveCount = 0;

}  // namespace

TcpClient::TcpClient(MessagePump& pump, const Clock& clock,
                     const HostResolver::Options& resolverOptions)
    : pump_(pump), timer_(clock), resolver_(resolverOptions), buffer_(new char[kBufferSize]) {
    statusMessage(StatusLevel::Detail, "Create");
    timer_.setEnabled(false);
    timer_.setOnTimer([this](TimeoutTimer&) { timerTriggered(); });
    statusMessage(StatusLevel::Detail, "Initializing Winsock");
    ++gLiveCount;
    if (resolver_.library().startedHere()) {
        libraryInfo_ = {"Version= 1.1",
                        "High Version= 1.1",
                        std::string("Description= c-ares ") + ares_version(nullptr),
                        "System= Running",
                        "Max Sockets= " + std::to_string(sysconf(_SC_OPEN_MAX)),
                        "Max Udp pack size= 65467"};
    }
}

TcpClient::~TcpClient() {
    // No handler of the owner runs from here on: the owner is going away too.
    destroying_ = true;
    statusMessage(StatusLevel::Detail, "Destroy");
    canceled_ = true;
    resolver_.cancel();
    try {
        requestCloseSocket();
    } catch (const SocketError&) {
        // A socket that fails to close is gone all the same.
    }
    --gLiveCount;
}

int TcpClient::liveCount() {
    return gLiveCount;
}

void TcpClient::ensureSocket() {
    if (fd_ >= 0) return;
    const bool resets = nextSocketResets_;
    int fd = -1;
    if (resolver_.library().ok()) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC,
                      resets ? IPPROTO_TCP : 0);
    }
    // Linger on with time 0: closing resets the connection at once.
    const linger lin{1, 0};
    if (fd >= 0 && resets && ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &lin, sizeof lin) != 0) {
        ::close(fd);
        fd = -1;
    }
    if (fd < 0) {
        lastError_ = socketErrorFromErrno(errno);
        throw SocketError("Initializaton of windows sockets failed");
    }
    fd_ = fd;
    nextSocketResets_ = false;
}

void TcpClient::statusMessage(StatusLevel level, const std::string& text) {
    if (static_cast<std::int32_t>(level) > static_cast<std::int32_t>(reportLevel)) return;
    status_ = text;
    if (!destroying_ && onStatus) onStatus(*this, text);
}

void TcpClient::checkSocketError(int code, int tolerated) {
    lastError_ = code;
    if (code == tolerated || code <= kSocketErrorBase) return;
    statusMessage(StatusLevel::Detail, "Looking Up Error Message");
    throw SocketError(lookupErrorMessage(code));
}

// ---- connecting -----------------------------------------------------------------

void TcpClient::resolveHost() {
    statusMessage(StatusLevel::Detail, "Resolve Host");
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
        detail::OnExit done([this] {
            timerOff();
            lookingUp_ = false;
            resolver_.cancel();  // lets the look-up's channel go
        });
        found = lookUp(name);
    }
    if (timedOut_) throw SocketError("Host Lookup Timed Out");
    if (canceled_) throw SocketError("Host Lookup Canceled");
    if (!found) {
        lastError_ = kHostNotFound;
        throw SocketError("Host Lookup Failed");
    }
    address_ = resolver_.address();
    if (onHostResolved) onHostResolved(*this);
}

bool TcpClient::lookUp(const std::string& name) {
    lookingUp_ = true;
    resolver_.start(name);
    while (!asyncDone_ && !timedOut_ && !canceled_) {
        if (!resolver_.busy()) {
            lookingUp_ = false;
            asyncOk_ = resolver_.succeeded();
            asyncDone_ = true;
            break;
        }
        waitPass(WaitFor::Nothing, kConnectSliceMs);
    }
    return !lookingUp_ && resolver_.succeeded();
}

void TcpClient::connect() {
    statusMessage(StatusLevel::Detail, "Connecting");
    canceled_ = false;
    if (connected_) throw SocketError("Already connected");
    ensureSocket();
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
    asyncOk_ = true;
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
        detail::OnExit off([this] { timerOff(); });
        while (!connected_ && !timedOut_ && !canceled_ && asyncOk_) {
            waitPass(WaitFor::Connect, kConnectSliceMs);
        }
    }
    connecting_ = false;
    if (!timedOut_ && !canceled_ && asyncOk_) return;
    if (onConnectionFailed) onConnectionFailed(*this);
    if (timedOut_) throw SocketError("Connection Timed out");
    if (canceled_) throw SocketError("Connection Canceled");
    throw SocketError("Connection Failed");
}

void TcpClient::disconnect() {
    statusMessage(StatusLevel::Detail, "Disconnecting");
    requestCloseSocket();
}

void TcpClient::cancel() {
    statusMessage(StatusLevel::Detail, "Canceling");
    canceled_ = true;
}

void TcpClient::abort() {
    statusMessage(StatusLevel::Detail, "Abort");
    cancel();
}

void TcpClient::requestCloseSocket() {
    statusMessage(StatusLevel::Transfer, "Request Close Socket");
    connected_ = false;
    connecting_ = false;
    if (fd_ < 0) return;
    const int closeError = ::close(fd_) != 0 ? lastSocketError() : 0;
    fd_ = -1;
    if (closeError == 0 && !destroying_ && onDisconnect) onDisconnect(*this);
    if (closeError != 0) checkSocketError(closeError, kWouldBlock);
}

}  // namespace corvalo::net
