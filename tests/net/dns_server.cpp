#include "net/dns_server.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <iterator>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace corvalo::testing {
namespace {

constexpr int kPollMs = 20;

int bindUdpOnLoopback(std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot bind on 127.0.0.1");
    }
    port = ntohs(sa.sin_port);
    return fd;
}

// The question name of a query, lower case with dots, and the offset after its
// type and class; false for a query this server does not understand.
bool readQuestion(const unsigned char* q, std::size_t size, std::string& name, std::size_t& end,
                  std::uint16_t& type) {
    if (size < 12 || q[4] != 0 || q[5] != 1) return false;
    std::size_t pos = 12;
    while (pos < size && q[pos] != 0) {
        const std::size_t length = q[pos];
        if (length > 63 || pos + 1 + length >= size) return false;
        if (!name.empty()) name.push_back('.');
        for (std::size_t i = 0; i < length; ++i) {
            name.push_back(static_cast<char>(std::tolower(q[pos + 1 + i])));
        }
        pos += 1 + length;
    }
    if (pos + 5 > size) return false;
    type = static_cast<std::uint16_t>((q[pos + 1] << 8) | q[pos + 2]);
    end = pos + 5;
    return true;
}

}  // namespace

DnsServer::DnsServer(std::string name, std::uint32_t address)
    : name_(std::move(name)), address_(address) {
    fd_ = bindUdpOnLoopback(port_);
    thread_ = std::thread([this] { run(); });
}

DnsServer::~DnsServer() {
    stop_ = true;
    thread_.join();
    ::close(fd_);
}

net::HostResolver::Options DnsServer::options(int timeoutMs) const {
    net::HostResolver::Options o;
    o.timeoutMs = timeoutMs;
    o.tries = 1;
    o.lookups = "b";
    o.servers = "127.0.0.1:" + std::to_string(port_);
    return o;
}

void DnsServer::run() {
    unsigned char query[512];
    while (!stop_.load()) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) <= 0) continue;
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n = ::recvfrom(fd_, query, sizeof query, 0,
                                     reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (n > 0) answer(query, static_cast<std::size_t>(n), &from, fromLength);
    }
}

void DnsServer::answer(const unsigned char* query, std::size_t size, const void* from,
                       unsigned fromLength) {
    std::string name;
    std::size_t end = 0;
    std::uint16_t type = 0;
    if (name_.empty() || !readQuestion(query, size, name, end, type)) return;
    const bool known = name == name_ && type == 1;
    // Header: the query's id, a recursive answer, "no such name" unless known.
    const unsigned char flags = known ? 0x80 : 0x83;
    const unsigned char answers = known ? 1 : 0;
    std::vector<unsigned char> reply = {query[0], query[1], 0x81, flags, 0, 1,
                                        0,        answers,  0,    0,     0, 0};
    reply.insert(reply.end(), query + 12, query + end);
    if (known) {
        // A pointer to the question's name, type A, class IN, TTL 60 s, 4 bytes.
        const unsigned char record[] = {0xC0, 12, 0, 1, 0, 1, 0, 0, 0, 60, 0, 4};
        reply.insert(reply.end(), std::begin(record), std::end(record));
        const auto* bytes = reinterpret_cast<const unsigned char*>(&address_);
        reply.insert(reply.end(), bytes, bytes + 4);
    }
    ::sendto(fd_, reply.data(), reply.size(), 0, static_cast<const sockaddr*>(from),
             static_cast<socklen_t>(fromLength));
}

bool lookUpToTheEnd(net::HostResolver& resolver, const std::string& name) {
    resolver.start(name);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::vector<pollfd> fds;
    while (resolver.busy() && std::chrono::steady_clock::now() < deadline) {
        fds.clear();
        const int wantMs = resolver.pollFds(fds);
        const int waitMs = wantMs < 0 ? kPollMs : std::min(wantMs, kPollMs);
        ::poll(fds.data(), fds.size(), waitMs);
        resolver.process(fds.data(), fds.size());
    }
    const bool found = !resolver.busy() && resolver.succeeded();
    resolver.cancel();
    return found;
}

}  // namespace corvalo::testing
