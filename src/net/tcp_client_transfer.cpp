// Sending and receiving on the connected socket of a TcpClient.
#include "net/tcp_client.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include <sys/socket.h>

#include "net/tcp_client_detail.h"

namespace corvalo::net {
namespace {

// A wait slice: short enough that the window answers at once, long enough not to spin.
constexpr int kSliceMs = 10;

}  // namespace

ssize_t TcpClient::receive(char* data, std::size_t size, int flags) {
    if (fd_ < 0) {
        errno = ENOTCONN;
        return -1;
    }
    return ::recv(fd_, data, size, flags);
}

ssize_t TcpClient::sendSome(const char* data, std::size_t size) {
    if (fd_ < 0) {
        errno = ENOTCONN;
        return -1;
    }
    return ::send(fd_, data, size, MSG_NOSIGNAL);
}

// ---- sending --------------------------------------------------------------------

void TcpClient::write(std::string_view text) {
    statusMessage(StatusLevel::Detail, "Write");
    if (text.size() > kMaxWrite) throw corvalo::Error("Range check error");
    sendBuffer(text, 0);
}

void TcpClient::writeln(std::string_view text) {
    statusMessage(StatusLevel::Detail, "Writeln");
    std::string line;
    line.reserve(text.size() + 2);
    line.append(text).append("\r\n");
    write(line);
}

void TcpClient::sendBuffer(std::string_view buffer, std::int32_t length) {
    statusMessage(StatusLevel::Transfer, "Sending Buffer");
    timerOn();
    {
        detail::OnExit off([this] { timerOff(); });
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
    statusMessage(StatusLevel::Detail, "SendFile");
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
        const ssize_t n = sendSome(data + sent, length - sent);
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
        // A full send queue: wait for room, letting cancel() and the time-out through.
        waitPass(WaitFor::Write, kSliceMs);
    }
}

// ---- receiving ------------------------------------------------------------------

std::string TcpClient::readLine() {
    statusMessage(StatusLevel::Detail, "ReadLn");
    timerOn();
    detail::OnExit off([this] { timerOff(); });
    std::string line;
    for (;;) {
        const ssize_t peeked = receive(buffer_.get(), kBufferSize, MSG_PEEK);
        if (peeked == 0) return {};  // closed before a line end: no line
        if (peeked > 0) {
            const auto count = static_cast<std::size_t>(peeked);
            const auto* lf = static_cast<const char*>(std::memchr(buffer_.get(), '\n', count));
            const std::size_t want =
                lf != nullptr ? static_cast<std::size_t>(lf - buffer_.get()) + 1 : count;
            // Takes what was peeked: the same bytes, at the head of the queue.
            const ssize_t took = receive(buffer_.get(), want, 0);
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
            lastError_ = code;
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
    bytesReceived_ = 0;
    timerOn();
    {
        detail::OnExit off([this] { timerOff(); });
        while (!canceled_ && (maxLength < 0 || bytesReceived_ < maxLength)) {
            std::size_t want = kBufferSize;
            if (maxLength >= 0) {
                want = std::min(want, static_cast<std::size_t>(maxLength - bytesReceived_));
            }
            const ssize_t n = receive(buffer_.get(), want, 0);
            if (n == 0) break;
            if (n > 0) {
                sink(buffer_.get(), static_cast<std::size_t>(n));
                bytesReceived_ += n;
                if (onPacketReceived) onPacketReceived(*this);
                timerOn();  // the time-out counts from the last piece
            } else {
                const int code = lastSocketError();
                lastError_ = code;
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
    statusMessage(StatusLevel::Detail, "Capture String");
    text.clear();
    capture(maxLength < 0 ? -1 : maxLength,
            [&text](const char* data, std::size_t n) { text.append(data, n); });
}

void TcpClient::captureFile(const std::string& fileName) {
    statusMessage(StatusLevel::Detail, "CaptureFile");
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out) throw corvalo::Error("Cannot create file \"" + fileName + "\"");
    capture(-1, [&out, &fileName](const char* data, std::size_t n) {
        out.write(data, static_cast<std::streamsize>(n));
        if (!out) throw corvalo::Error("Unable to write to " + fileName);
    });
}

std::string TcpClient::transaction(const std::string& command) {
    statusMessage(StatusLevel::Detail, "Transaction");
    replyNumber_ = 0;
    writeln(command);
    std::string reply = readLine();
    if (reply.empty()) return reply;
    statusMessage(StatusLevel::Reply, reply);
    // Ten digits at most, which a 64-bit number holds whole: "9999999999 x" -> 9999999999.
    std::int64_t number = 0;
    std::size_t digits = 0;
    while (digits < reply.size() && digits < 10 && reply[digits] >= '0' && reply[digits] <= '9') {
        number = number * 10 + (reply[digits] - '0');
        ++digits;
    }
    if (digits > 0) replyNumber_ = number;
    return reply;
}

bool TcpClient::dataAvailable() {
    statusMessage(StatusLevel::Detail, "Data Available");
    char byte = 0;
    return receive(&byte, 1, MSG_PEEK) == 1;
}

}  // namespace corvalo::net
