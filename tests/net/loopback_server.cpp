#include "net/loopback_server.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
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

bool ServerConnection::waitFor(short events) {
    while (!stop_.load()) {
        pollfd p{fd_, events, 0};
        const int r = ::poll(&p, 1, kPollMs);
        if (r > 0) return true;
        if (r < 0 && errno != EINTR) return false;
    }
    return false;
}

std::string ServerConnection::readRequest() {
    std::string request;
    char chunk[4096];
    std::size_t end = std::string::npos;
    while ((end = request.find("\r\n\r\n")) == std::string::npos && request.size() < kMaxRequest) {
        if (!waitFor(POLLIN)) break;
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) break;
        request.append(chunk, static_cast<std::size_t>(n));
    }
    const std::size_t field = request.find("\r\nContent-Length: ");
    if (end != std::string::npos && field != std::string::npos && field < end) {
        const std::size_t length = std::strtoul(request.c_str() + field + 18, nullptr, 10);
        const std::size_t have = request.size() - end - 4;
        if (length > have) request += readExactly(length - have);
    }
    server_.recordRequest(request);
    return request;
}

std::string ServerConnection::readBytes(std::size_t count) {
    std::string bytes = readExactly(count);
    server_.recordRequest(bytes);
    return bytes;
}

std::string ServerConnection::readExactly(std::size_t count) {
    std::string bytes;
    char chunk[4096];
    while (bytes.size() < count && waitFor(POLLIN)) {
        const ssize_t n = ::recv(fd_, chunk, std::min(sizeof chunk, count - bytes.size()), 0);
        if (n <= 0) break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
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

bool ServerConnection::sendEachByteOnceTaken(std::string_view bytes,
                                             const std::atomic<std::int64_t>& taken) {
    const int yes = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!send(bytes.substr(i, 1))) return false;
        while (taken.load() <= static_cast<std::int64_t>(i)) {
            if (stop_.load()) return false;
            ::poll(nullptr, 0, 1);
        }
    }
    return true;
}

void ServerConnection::waitForClose() {
    char chunk[4096];
    while (waitFor(POLLIN) && ::recv(fd_, chunk, sizeof chunk, 0) > 0) {
    }
}

void ServerConnection::waitForCloseUnread() {
    waitFor(POLLRDHUP);
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
        script_(connection, index++);
        ::close(fd);
    }
}

LoopbackServer::Script respond(std::string reply) {
    return [reply = std::move(reply)](ServerConnection& c, int) {
        c.readRequest();
        c.send(reply);
    };
}

void holdOpen(ServerConnection& connection, int) {
    connection.waitForClose();
}

std::string httpReply(const std::string& status, const std::string& headers,
                      const std::string& body) {
    return "HTTP/1.0 " + status + "\r\n" + headers + "\r\n" + body;
}

std::uint16_t unusedPort() {
    std::uint16_t port = 0;
    ::close(listenOnLoopback(port));
    return port;
}

}  // namespace corvalo::testing
