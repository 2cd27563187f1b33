#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <poll.h>

struct hostent;

namespace corvalo::net {

// Asynchronous IPv4 look-up of one name at a time with c-ares: no blocking call
// and no thread. The owner adds pollFds() to its poll() and hands the results back
// to process(); the look-up has ended when busy() turns false.
class HostResolver {
  public:
    struct Options {
        int timeoutMs = 2000;  // per try and server
        int tries = 2;
        std::string lookups = "fb";  // the hosts file first, then DNS
        std::string servers;         // "127.0.0.1:5353,..."; empty: the system's
    };

    HostResolver();
    explicit HostResolver(const Options& options);
    ~HostResolver();
    HostResolver(const HostResolver&) = delete;
    HostResolver& operator=(const HostResolver&) = delete;

    // Starts a look-up, ending any running one. A name under the reserved ".invalid"
    // domain fails at once without asking any server.
    void Start(const std::string& name);
    void cancel();

    bool busy() const { return busy_; }
    bool succeeded() const { return succeeded_; }
    // The first address of the host entry, in network byte order; 0 when none.
    std::uint32_t address() const { return address_; }

    // Appends the resolver's sockets to `fds`; returns the most it wants poll() to wait
    // (-1 when it has no deadline of its own).
    int pollFds(std::vector<pollfd>& fds) const;
    // Handles the revents of the entries pollFds() added, and the resolver's time-outs.
    void process(const pollfd* fds, std::size_t count);

  private:
    static void onHost(void* arg, int status, int timeouts, ::hostent* host);

    struct Channel;
    Channel* channel_ = nullptr;
    bool busy_ = false;
    bool succeeded_ = false;
    std::uint32_t address_ = 0;
};

}  // namespace corvalo::net
