#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/host_resolver.h"

namespace corvalo::testing {

// A "DNS server" on 127.0.0.1 that takes queries and never answers.
class SilentDnsServer {
  public:
    SilentDnsServer();
    ~SilentDnsServer();
    SilentDnsServer(const SilentDnsServer&) = delete;
    SilentDnsServer& operator=(const SilentDnsServer&) = delete;

    // DNS only, this server only, one try of 5 s.
    net::HostResolver::Options options() const;

  private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

// A DNS server on 127.0.0.1 that answers an A query for `name` with `address`
// (network byte order) and every other query with "no such name". It stops at
// destruction.
class AnsweringDnsServer {
  public:
    AnsweringDnsServer(std::string name, std::uint32_t address);
    ~AnsweringDnsServer();
    AnsweringDnsServer(const AnsweringDnsServer&) = delete;
    AnsweringDnsServer& operator=(const AnsweringDnsServer&) = delete;

    std::uint16_t port() const { return port_; }
    // The names asked for, in order, in lower case.
    std::vector<std::string> questions() const;

  private:
    void run();
    void answer(const unsigned char* query, std::size_t size, const void* from,
                unsigned fromLength);

    std::string name_;
    std::uint32_t address_;
    int fd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> questions_;
    std::thread thread_;
};

// Runs a look-up of `name` to its end (at most 10 s); true when it found an address.
bool lookUpToTheEnd(net::HostResolver& resolver, const std::string& name);

}  // namespace corvalo::testing
