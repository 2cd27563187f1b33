// The HTTP reply header reader fed from a real socket on 127.0.0.1: each input
// is what a server sends before it closes. Checks: no crash, no hang, no more
// header kept than the bound, a status that is a three-digit code or marked malformed,
// no CR, LF or NUL in a value that goes into the next request.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#include "net/http_client.h"
#include "net/message_pump.h"

using namespace corvalo::net;

namespace {

int listener = -1;
int port = 0;

void listenOnce() {
    listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        listen(listener, 16) != 0) {
        std::perror("listen");
        std::abort();
    }
    socklen_t len = sizeof a;
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static NoEventsPump pump;
    static SteadyClock clock;
    static HostResolver::Options options = [] {
        HostResolver::Options o;
        o.lookups = "f";  // the hosts file only: never a DNS server
        return o;
    }();
    if (listener < 0) listenOnce();
    if (size > 256 * 1024) return 0;  // more than the socket buffers hold without a reader

    HttpClient http(pump, clock, options);
    http.host = "127.0.0.1";
    http.port = port;
    http.timeoutMs = 2000;
    try {
        http.connect();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "connect: %s\n", e.what());
        std::abort();
    }
    const int server = accept(listener, nullptr, nullptr);
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = send(server, data + sent, size - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    shutdown(server, SHUT_WR);
    try {
        http.readReplyHeader();
        if (http.header.size() > HttpClient::kMaxHeaderBytes + 65536) {
            std::fprintf(stderr, "header kept beyond its bound\n");
            std::abort();
        }
        const std::int64_t status = http.replyNumber();
        if (status != HttpClient::kMalformedStatus && (status < 0 || status > 999)) {
            std::fprintf(stderr, "status %lld is no three-digit code\n",
                         static_cast<long long>(status));
            std::abort();
        }
        for (const std::string* value : {&http.receivedCookie, &http.location}) {
            if (value->find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
                std::fprintf(stderr, "a line break or NUL kept for the next request\n");
                std::abort();
            }
        }
    } catch (const corvalo::Error&) {
        // A refused or broken reply is reported, which is all it may do.
    }
    close(server);
    return 0;
}
