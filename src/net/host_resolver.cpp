#include "net/host_resolver.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include <ares.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace corvalo::net {

struct HostResolver::Channel {
    ares_channel channel = nullptr;
};

namespace {

// RFC 6761: names under "invalid" never resolve, so no server is asked about them.
bool isReservedInvalidName(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!name.empty() && name.back() == '.') name.pop_back();
    constexpr std::string_view kInvalid = "invalid";
    if (name == kInvalid) return true;
    return name.size() > kInvalid.size() &&
           name.compare(name.size() - kInvalid.size() - 1, std::string::npos, ".invalid") == 0;
}

}  // namespace

HostResolver::HostResolver() : HostResolver(Options{}) {}

HostResolver::HostResolver(const Options& options) {
    ares_options opts{};
    opts.timeout = options.timeoutMs;
    opts.tries = options.tries;
    std::string lookups = options.lookups;
    opts.lookups = lookups.data();
    auto channel = new Channel;
    if (ares_init_options(&channel->channel, &opts,
                          ARES_OPT_TIMEOUTMS | ARES_OPT_TRIES | ARES_OPT_LOOKUPS) !=
        ARES_SUCCESS) {
        channel->channel = nullptr;
    } else if (!options.servers.empty() &&
               ares_set_servers_ports_csv(channel->channel, options.servers.c_str()) !=
                   ARES_SUCCESS) {
        ares_destroy(channel->channel);
        channel->channel = nullptr;
    }
    channel_ = channel;
}

HostResolver::~HostResolver() {
    // Destroying the channel calls back every pending look-up while this still lives.
    if (channel_->channel != nullptr) ares_destroy(channel_->channel);
    delete channel_;
}

void HostResolver::Start(const std::string& name) {
    cancel();
    succeeded_ = false;
    address_ = 0;
    if (channel_->channel == nullptr || name.empty() || isReservedInvalidName(name)) return;
    busy_ = true;
    // May call back at once (a hosts-file entry), before it returns.
    ares_gethostbyname(channel_->channel, name.c_str(), AF_INET, &HostResolver::onHost, this);
}

void HostResolver::cancel() {
    if (busy_ && channel_->channel != nullptr) ares_cancel(channel_->channel);
    busy_ = false;
}

void HostResolver::onHost(void* arg, int status, int /*timeouts*/, ::hostent* host) {
    auto* self = static_cast<HostResolver*>(arg);
    self->busy_ = false;
    if (status != ARES_SUCCESS || host == nullptr || host->h_addrtype != AF_INET ||
        host->h_length != 4 || host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr) {
        return;
    }
    std::uint32_t address = 0;
    std::memcpy(&address, host->h_addr_list[0], sizeof address);
    self->address_ = address;
    self->succeeded_ = true;
}

int HostResolver::pollFds(std::vector<pollfd>& fds) const {
    if (!busy_ || channel_->channel == nullptr) return -1;
    ares_socket_t socks[ARES_GETSOCK_MAXNUM];
    const int bits = ares_getsock(channel_->channel, socks, ARES_GETSOCK_MAXNUM);
    for (int i = 0; i < ARES_GETSOCK_MAXNUM; ++i) {
        short events = 0;
        if (ARES_GETSOCK_READABLE(bits, i)) events = static_cast<short>(events | POLLIN);
        if (ARES_GETSOCK_WRITABLE(bits, i)) events = static_cast<short>(events | POLLOUT);
        if (events == 0) continue;
        fds.push_back(pollfd{socks[i], events, 0});
    }
    timeval tv{};
    if (ares_timeout(channel_->channel, nullptr, &tv) == nullptr) return -1;
    // Rounded up, so a wait never ends just before the resolver's deadline.
    return static_cast<int>(tv.tv_sec * 1000 + (tv.tv_usec + 999) / 1000);
}

void HostResolver::process(const pollfd* fds, std::size_t count) {
    if (!busy_ || channel_->channel == nullptr) return;
    for (std::size_t i = 0; i < count; ++i) {
        const short ev = fds[i].revents;
        if (ev == 0) continue;
        const ares_socket_t readFd =
            (ev & (POLLIN | POLLERR | POLLHUP)) != 0 ? fds[i].fd : ARES_SOCKET_BAD;
        const ares_socket_t writeFd = (ev & POLLOUT) != 0 ? fds[i].fd : ARES_SOCKET_BAD;
        ares_process_fd(channel_->channel, readFd, writeFd);
        if (!busy_) return;
    }
    // Runs the resolver's own time-outs and retries.
    ares_process_fd(channel_->channel, ARES_SOCKET_BAD, ARES_SOCKET_BAD);
}

}  // namespace corvalo::net
