#include "net/dns_server.h"

#include <algorithm>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace corvalo::testing {

DnsServer::DnsServer(const std::string& name, std::uint32_t address) : address_(address) {
    // "a.test" -> 1 'a' 4 't' 'e' 's' 't' 0, then type 1 and class 1.
    for (std::size_t start = 0; start < name.size();) {
        const std::size_t end = std::min(name.find('.', start), name.size());
        question_.push_back(static_cast<unsigned char>(end - start));
        question_.insert(question_.end(), name.data() + start, name.data() + end);
        start = end + 1;
    }
    question_.insert(question_.end(), {0, 0, 1, 0, 1});
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        throw std::runtime_error("cannot bind a UDP socket on 127.0.0.1");
    }
    port_ = ntohs(sa.sin_port);
}

DnsServer::~DnsServer() {
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

void DnsServer::answerWaiting() {
    unsigned char q[512];
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    ssize_t n = 0;
    while ((n = ::recvfrom(fd_, q, sizeof q, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from),
                           &fromLength)) > 12) {
        std::size_t end = 12;
        while (end < static_cast<std::size_t>(n) && q[end] != 0) end += 1 + q[end];
        end += 5;  // the root label, type and class
        if (end > static_cast<std::size_t>(n)) continue;
        const bool known = std::equal(question_.begin(), question_.end(), q + 12, q + end);
        // The query's id, a recursive answer, one question; one answer or "no such name".
        const unsigned char flags = known ? 0x80 : 0x83, answers = known ? 1 : 0;
        std::vector<unsigned char> reply = {q[0], q[1], 0x81, flags, 0, 1, 0, answers, 0, 0, 0, 0};
        reply.insert(reply.end(), q + 12, q + end);
        if (known) {
            // A pointer to the question's name, type A, class IN, TTL 60 s, 4 bytes.
            reply.insert(reply.end(), {0xC0, 12, 0, 1, 0, 1, 0, 0, 0, 60, 0, 4});
            const auto* bytes = reinterpret_cast<const unsigned char*>(&address_);
            reply.insert(reply.end(), bytes, bytes + 4);
        }
        ::sendto(fd_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from),
                 fromLength);
    }
}

}  // namespace corvalo::testing
