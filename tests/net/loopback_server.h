#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "net/host_resolver.h"

namespace corvalo::testing {

class LoopbackServer;

// One accepted connection, as the server's script sees it. Every call gives up
// when the server is stopping, so no script outlives its test.
class ServerConnection {
  public:
    ServerConnection(int fd, LoopbackServer& server) : fd_(fd), server_(server) {}

    // Reads a request header (up to its blank line) and the body its Content-Length
    // names, and records it with the server.
    std::string readRequest();
    // Reads `count` bytes, or up to EOF, and records them with the server.
    std::string readBytes(std::size_t count);
    // Sends everything; false when the peer has gone.
    bool send(std::string_view bytes);
    // Waits until the peer closes the connection, reading nothing, so what the peer
    // sends fills the buffers.
    void waitForClose();

  private:
    bool waitFor(short events);
    std::string receive(std::size_t count, std::string_view until = {});

    int fd_;
    LoopbackServer& server_;
};

// A TCP server on 127.0.0.1 with an ephemeral port, run by one thread that hands
// each accepted connection to `script` and closes it afterwards. It stops by
// itself after `maxConnections` connections, and at destruction.
class LoopbackServer {
  public:
    using Script = std::function<void(ServerConnection& connection, int index)>;

    explicit LoopbackServer(Script script, int maxConnections = 1);
    ~LoopbackServer();

    std::uint16_t port() const { return port_; }
    std::string hostPort() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string url(const std::string& path = "/") const { return "http://" + hostPort() + path; }
    int connections() const { return connections_.load(); }
    bool stopping() const { return stop_.load(); }
    // What readRequest() and readBytes() read, in order.
    std::vector<std::string> requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    void recordRequest(std::string request) {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(std::move(request));
    }

  private:
    Script script_;
    std::uint16_t port_ = 0;  // before listenFd_, whose start sets it
    int listenFd_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// Reads the request, records it, sends `reply` and closes.
inline LoopbackServer::Script respond(std::string reply) {
    return [reply = std::move(reply)](ServerConnection& c, int) {
        c.readRequest();
        c.send(reply);
    };
}
// Accepts and waits until the client closes; never answers.
inline void holdOpen(ServerConnection& connection, int) {
    connection.waitForClose();
}
// "HTTP/1.0 <status>\r\n<headers>\r\n<body>" with headers already CR LF-ended.
inline std::string httpReply(const std::string& status, const std::string& headers,
                             const std::string& body) {
    return "HTTP/1.0 " + status + "\r\n" + headers + "\r\n" + body;
}
// A port on 127.0.0.1 that nothing listens on (bound, then closed).
std::uint16_t unusedPort();

// A DNS server on 127.0.0.1 that never answers: it only hands over the questions asked.
class DnsServer {
  public:
    DnsServer();
    ~DnsServer();
    DnsServer(const DnsServer&) = delete;
    DnsServer& operator=(const DnsServer&) = delete;

    // The hosts file, then this server only, one try of `timeoutMs`.
    net::HostResolver::Options options(int timeoutMs = 5000) const;
    // The name of the next query, as its labels ("\3new\4test" for "new.test"); empty
    // when none comes within 5 s.
    std::string nextQuestion();

  private:
    std::uint16_t port_ = 0;  // before fd_, whose start sets it
    int fd_ = -1;
};

}  // namespace corvalo::testing
