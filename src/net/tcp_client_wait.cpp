// The wait loop of a TcpClient and its time-out: every wait polls the socket and
// the resolver in short slices and runs the program's events between them.
#include "net/tcp_client.h"

#include <algorithm>
#include <cerrno>

#include <sys/socket.h>

namespace corvalo::net {

// ---- time-outs ------------------------------------------------------------------

void TcpClient::timerOn() {
    if (timeoutMs < 0) throw corvalo::Error("Range check error");
    statusMessage(StatusLevel::Detail, "Timer On");
    timedOut_ = false;
    timer_.setInterval(static_cast<std::uint32_t>(timeoutMs));
    timer_.setEnabled(true);
}

void TcpClient::timerOff() {
    statusMessage(StatusLevel::Detail, "Timer Off");
    timer_.setEnabled(false);
}

void TcpClient::timerTriggered() {
    statusMessage(StatusLevel::Detail, "Timer Triggered");
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
    int waitMs = sliceMs;
    if (lookingUp_) {
        const int resolverMs = resolver_.pollFds(pollFds_);
        if (resolverMs >= 0) waitMs = std::min(waitMs, resolverMs);
    }
    const std::int64_t timerMs = timer_.msUntilDue();
    if (timerMs >= 0) waitMs = static_cast<int>(std::min<std::int64_t>(waitMs, timerMs));

    const int ready = ::poll(pollFds_.data(), pollFds_.size(), waitMs);
    if (ready > 0 && watchSocket && pollFds_[0].revents != 0) {
        handleSocketEvents(what, pollFds_[0].revents);
    }
    if (lookingUp_) {
        resolver_.process(pollFds_.data() + resolverFirst, pollFds_.size() - resolverFirst);
        if (!resolver_.busy()) {
            // The look-up's notification: asyncOk tells whether it found an address.
            lookingUp_ = false;
            asyncOk_ = resolver_.succeeded();
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
        asyncOk_ = err == 0;
        if (asyncOk_) {
            connected_ = true;
            if (onConnect) onConnect(*this);
        } else {
            lastError_ = socketErrorFromErrno(err);
        }
        return;
    }
    // The peer closed (or reset) the connection: once nothing is left to read, close ours.
    if ((revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0 && !dataAvailable()) {
        requestCloseSocket();
    }
}

}  // namespace corvalo::net
