#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <poll.h>

struct hostent;
struct ares_channeldata;

namespace corvalo::net {

// Holds the c-ares library initialised: the first live holder starts it, the last
// one to go cleans it up. Never throws; ok() tells whether the library started.
class ResolverLibrary {
  public:
    ResolverLibrary();
    ~ResolverLibrary();
    ResolverLibrary(const ResolverLibrary&) = delete;
    ResolverLibrary& operator=(const ResolverLibrary&) = delete;

    bool ok() const { return running(); }
    // True when this holder is the one that started the library.
    bool startedHere() const { return startedHere_; }

    static bool running();
    // How often the library was started: once per stretch of live holders.
    static int starts();

  private:
    bool startedHere_ = false;
};

// Asynchronous IPv4 look-up of one name at a time with c-ares: no blocking call
// and no thread. The owner adds pollFds() to its poll() and hands the results back
// to process(); the look-up has ended when busy() turns false. Each look-up gets a
// channel of its own, so it reads the resolver configuration as it is now.
class HostResolver {
  public:
    struct Options {
        int timeoutMs = 2000;  // per try and server
        int tries = 2;
        std::string lookups = "fb";  // the hosts file first, then DNS
        std::string servers;         // "127.0.0.1:5353,..."; empty: the system's
        std::string resolvConf;      // the resolver configuration file; empty: the system's
    };

    HostResolver();
    explicit HostResolver(const Options& options);
    ~HostResolver();
    HostResolver(const HostResolver&) = delete;
    HostResolver& operator=(const HostResolver&) = delete;

    // Starts a look-up, ending any running one. A name under the reserved ".invalid"
    // domain fails at once without asking any server.
    void start(const std::string& name);
    // Ends the look-up, if one runs, and lets its channel go.
    void cancel();

    bool busy() const { return busy_; }
    bool succeeded() const { return succeeded_; }
    // The first address of the host entry, in network byte order; 0 when none.
    std::uint32_t address() const { return address_; }
    const ResolverLibrary& library() const { return library_; }

    // Appends the resolver's sockets to `fds`; returns the most it wants poll() to wait
    // (-1 when it has no deadline of its own).
    int pollFds(std::vector<pollfd>& fds) const;
    // Handles the revents of the entries pollFds() added, and the resolver's time-outs.
    void process(const pollfd* fds, std::size_t count);

  private:
    static void onHost(void* arg, int status, int timeouts, ::hostent* host);
    bool openChannel();
    void closeChannel();

    // First member: the library is up before any channel and cleaned up after the last.
    ResolverLibrary library_;
    Options options_;
    ::ares_channeldata* channel_ = nullptr;  // only while a look-up runs
    bool busy_ = false;
    bool succeeded_ = false;
    std::uint32_t address_ = 0;
};

}  // namespace corvalo::net
