#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace corvalo::testing {

class LoopbackServer;

// One accepted connection, as the server's script sees it. Every call gives up
// when the server is stopping, so no script outlives its test.
class ServerConnection {
  public:
    ServerConnection(int fd, const std::atomic<bool>& stop, LoopbackServer& server)
        : fd_(fd), stop_(stop), server_(server) {}

    // Reads a request header (up to its blank line) and the body its Content-Length
    // names, or up to EOF, and records it with the server.
    std::string readRequest();
    // Reads exactly `count` more bytes, or until EOF, and records them with the server.
    std::string readBytes(std::size_t count);
    // Sends everything; false when the peer has gone.
    bool send(std::string_view bytes);
    // Sends one byte at a time, each only once `taken` says the peer has read the
    // ones before, so every byte reaches the reader alone.
    bool sendEachByteOnceTaken(std::string_view bytes, const std::atomic<std::int64_t>& taken);
    // Waits until the peer closes (or resets) the connection, reading what comes.
    void waitForClose();
    // The same without reading anything, so the peer's sends fill the buffers.
    void waitForCloseUnread();

  private:
    bool waitFor(short events);
    std::string readExactly(std::size_t count);

    int fd_;
    const std::atomic<bool>& stop_;
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
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::uint16_t port() const { return port_; }
    std::string hostPort() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string url(const std::string& path = "/") const { return "http://" + hostPort() + path; }
    int connections() const { return connections_.load(); }
    // What readRequest() and readBytes() read, in order.
    std::vector<std::string> requests() const;
    void recordRequest(std::string request);

  private:
    void run();

    Script script_;
    int maxConnections_;
    int listenFd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// Reads the request, records it, sends `reply` and closes.
LoopbackServer::Script respond(std::string reply);
// Accepts and reads until the client closes; never answers.
void holdOpen(ServerConnection& connection, int index);
// "HTTP/1.0 <status>\r\n<headers>\r\n<body>" with headers already CR LF-ended.
std::string httpReply(const std::string& status, const std::string& headers,
                      const std::string& body);

// A port on 127.0.0.1 that nothing listens on (bound, then closed).
std::uint16_t unusedPort();

}  // namespace corvalo::testing
