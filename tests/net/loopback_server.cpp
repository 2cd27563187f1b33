#include "net/loopback_server.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace corvalo::testing {
namespace {

constexpr int kPollMs = 20;
constexpr std::size_t kMaxRequest = 1024 * 1024;

int listenOnLoopback(std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sa.sin_port = 0;
    socklen_t len = sizeof sa;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port = ntohs(sa.sin_port);
    return fd;
}

}  // namespace

bool ServerConnection::waitReadable() {
    while (!stop_.load()) {
        pollfd p{fd_, POLLIN, 0};
        const int r = ::poll(&p, 1, kPollMs);
        if (r > 0) return true;
        if (r < 0 && errno != EINTR) return false;
    }
    return false;
}

std::string ServerConnection::readRequest() {
    std::string request;
    char chunk[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequest) {
        if (!waitReadable()) break;
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) break;
        request.append(chunk, static_cast<std::size_t>(n));
    }
    server_.recordRequest(request);
    return request;
}

std::string ServerConnection::readBytes(std::size_t count) {
    std::string bytes;
    char chunk[4096];
    while (bytes.size() < count) {
        if (!waitReadable()) break;
        const ssize_t n = ::recv(fd_, chunk, std::min(sizeof chunk, count - bytes.size()), 0);
        if (n <= 0) break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return bytes;
}

bool ServerConnection::send(std::string_view bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size() && !stop_.load()) {
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, kPollMs) <= 0) continue;
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return sent == bytes.size();
}

bool ServerConnection::sendByteByByte(std::string_view bytes) {
    const int yes = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    for (const char c : bytes) {
        if (!send(std::string_view(&c, 1))) return false;
        // Pacing, not waiting: gives the reader the chance to see each byte alone.
        ::usleep(1000);
    }
    return true;
}

void ServerConnection::waitForClose() {
    char chunk[4096];
    while (waitReadable()) {
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) return;
    }
}

void ServerConnection::waitForCloseUnread() {
    while (!stop_.load()) {
        pollfd p{fd_, POLLRDHUP, 0};
        if (::poll(&p, 1, kPollMs) > 0) return;
    }
}

LoopbackServer::LoopbackServer(Script script, int maxConnections)
    : script_(std::move(script)), maxConnections_(maxConnections) {
    listenFd_ = listenOnLoopback(port_);
    thread_ = std::thread([this] { run(); });
}

LoopbackServer::~LoopbackServer() {
    stop_.store(true);
    thread_.join();
    ::close(listenFd_);
}

std::string LoopbackServer::hostPort() const {
    return "127.0.0.1:" + std::to_string(port_);
}

std::string LoopbackServer::url(const std::string& path) const {
    return "http://" + hostPort() + path;
}

std::vector<std::string> LoopbackServer::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void LoopbackServer::recordRequest(std::string request) {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(std::move(request));
}

void LoopbackServer::run() {
    for (int index = 0; index < maxConnections_ && !stop_.load();) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) <= 0) continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        connections_.fetch_add(1);
        ServerConnection connection(fd, stop_, *this);
        script_(connection, index);
        ::close(fd);
        ++index;
    }
}

LoopbackServer::Script respond(std::string reply) {
    return [reply = std::move(reply)](ServerConnection& c, int) {
        c.readRequest();
        c.send(reply);
    };
}

std::string httpReply(const std::string& status, const std::string& headers,
                      const std::string& body) {
    return "HTTP/1.0 " + status + "\r\n" + headers + "\r\n" + body;
}

std::uint16_t unusedPort() {
    std::uint16_t port = 0;
    const int fd = listenOnLoopback(port);
    ::close(fd);
    return port;
}

}  // namespace corvalo::testing
