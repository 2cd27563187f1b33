#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "net/host_resolver.h"

namespace corvalo::testing {

// A DNS server on 127.0.0.1 that answers an A query for `name` with `address`
// (network byte order) and every other query with "no such name"; with an empty
// name it answers nothing at all. It stops at destruction.
class DnsServer {
  public:
    explicit DnsServer(std::string name = "", std::uint32_t address = 0);
    ~DnsServer();
    DnsServer(const DnsServer&) = delete;
    DnsServer& operator=(const DnsServer&) = delete;

    // DNS only, this server only, one try of `timeoutMs`.
    net::HostResolver::Options options(int timeoutMs = 5000) const;

  private:
    void run();
    void answer(const unsigned char* query, std::size_t size, const void* from,
                unsigned fromLength);

    std::string name_;
    std::uint32_t address_;
    int fd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Runs a look-up of `name` to its end (at most 10 s); true when it found an address.
bool lookUpToTheEnd(net::HostResolver& resolver, const std::string& name);

}  // namespace corvalo::testing
