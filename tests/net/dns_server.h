#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/host_resolver.h"

namespace corvalo::testing {

// A DNS server on 127.0.0.1 that runs in the test's own thread: queries wait in its
// socket until answerWaiting(), so one never asked to answer is a server that stays silent.
class DnsServer {
  public:
    // Answers an A query for `name` with `address` (network byte order), others "no such name".
    explicit DnsServer(const std::string& name = "", std::uint32_t address = 0);
    ~DnsServer();
    DnsServer(const DnsServer&) = delete;
    DnsServer& operator=(const DnsServer&) = delete;

    // DNS only, this server only, one try of `timeoutMs`.
    net::HostResolver::Options options(int timeoutMs = 5000) const;
    int fd() const { return fd_; }
    void answerWaiting();

  private:
    std::vector<unsigned char> question_;  // the name's labels, type A, class IN
    std::uint32_t address_;
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

}  // namespace corvalo::testing
