#include "net/loopback_server.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace corvalo::testing {
namespace {

constexpr int kPollMs = 20;
constexpr std::size_t kMaxRequest = 1024 * 1024;

// A socket of `type` bound to 127.0.0.1 on an ephemeral port, which goes to `port`.
int bindLoopback(int type, std::uint16_t& port) {
    const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
        (type == SOCK_STREAM && ::listen(fd, 16) != 0) ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        throw std::runtime_error("cannot bind a socket on 127.0.0.1");
    }
    port = ntohs(sa.sin_port);
    return fd;
}

}  // namespace

bool ServerConnection::waitFor(short events) {
    while (!server_.stopping()) {
        pollfd p{fd_, events, 0};
        const int r = ::poll(&p, 1, kPollMs);
        if (r > 0) return true;
        if (r < 0 && errno != EINTR) return false;
    }
    return false;
}

std::string ServerConnection::receive(std::size_t count, std::string_view until) {
    std::string bytes;
    char chunk[4096];
    while (bytes.size() < count && (until.empty() || bytes.find(until) == std::string::npos) &&
           waitFor(POLLIN)) {
        // Up to `until`, one byte at a time, so nothing after it is taken.
        const std::size_t want = until.empty() ? std::min(sizeof chunk, count - bytes.size()) : 1;
        const ssize_t n = ::recv(fd_, chunk, want, 0);
        if (n <= 0) break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return bytes;
}

std::string ServerConnection::readRequest() {
    std::string request = receive(kMaxRequest, "\r\n\r\n");
    const std::size_t field = request.find("\r\nContent-Length: ");
    if (field != std::string::npos) {
        request += receive(std::strtoul(request.c_str() + field + 18, nullptr, 10));
    }
    server_.recordRequest(request);
    return request;
}

std::string ServerConnection::readBytes(std::size_t count) {
    std::string bytes = receive(count);
    server_.recordRequest(bytes);
    return bytes;
}

bool ServerConnection::send(std::string_view bytes) {
    while (!bytes.empty() && waitFor(POLLOUT)) {
        const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return bytes.empty();
}

void ServerConnection::waitForClose() {
    waitFor(POLLRDHUP);
}

LoopbackServer::LoopbackServer(Script script, int maxConnections)
    : script_(std::move(script)), listenFd_(bindLoopback(SOCK_STREAM, port_)) {
    thread_ = std::thread([this, maxConnections] {
        for (int index = 0; index < maxConnections && !stop_.load();) {
            pollfd p{listenFd_, POLLIN, 0};
            if (::poll(&p, 1, kPollMs) <= 0) continue;
            const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            connections_.fetch_add(1);
            ServerConnection connection(fd, *this);
            script_(connection, index++);
            ::close(fd);
        }
    });
}

LoopbackServer::~LoopbackServer() {
    stop_.store(true);
    thread_.join();
    ::close(listenFd_);
}

std::uint16_t unusedPort() {
    std::uint16_t port = 0;
    ::close(bindLoopback(SOCK_STREAM, port));
    return port;
}

DnsServer::DnsServer() : fd_(bindLoopback(SOCK_DGRAM, port_)) {}

DnsServer::~DnsServer() {
    ::close(fd_);
}

net::HostResolver::Options DnsServer::options(int timeoutMs) const {
    net::HostResolver::Options o;
    o.timeoutMs = timeoutMs;
    o.tries = 1;
    o.lookups = "fb";
    o.servers = "127.0.0.1:" + std::to_string(port_);
    return o;
}

std::string DnsServer::nextQuestion() {
    pollfd p{fd_, POLLIN, 0};
    char query[512];
    const ssize_t n = ::poll(&p, 1, 5000) == 1 ? ::recv(fd_, query, sizeof query, 0) : 0;
    // The name follows the 12-byte header and ends with the root label, 0.
    return n > 12
               ? std::string(query + 12, ::strnlen(query + 12, static_cast<std::size_t>(n) - 12))
               : std::string();
}

}  // namespace corvalo::testing
