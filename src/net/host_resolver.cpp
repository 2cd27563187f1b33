#include "net/host_resolver.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include <ares.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace corvalo::net {
namespace {

int gLibraryHolders = 0;
bool gLibraryRunning = false;
int gLibraryStarts = 0;

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

// ---- the library ----------------------------------------------------------------

ResolverLibrary::ResolverLibrary() {
    ++gLibraryHolders;
    if (gLibraryRunning) return;
    if (ares_library_init(ARES_LIB_INIT_ALL) != ARES_SUCCESS) return;
    gLibraryRunning = true;
    startedHere_ = true;
    ++gLibraryStarts;
}

ResolverLibrary::~ResolverLibrary() {
    if (--gLibraryHolders == 0 && gLibraryRunning) {
        ares_library_cleanup();
        gLibraryRunning = false;
    }
}

bool ResolverLibrary::running() {
    return gLibraryRunning;
}

int ResolverLibrary::starts() {
    return gLibraryStarts;
}

// ---- look-ups -------------------------------------------------------------------

HostResolver::HostResolver() : HostResolver(Options{}) {}

HostResolver::HostResolver(const Options& options) : options_(options) {}

HostResolver::~HostResolver() {
    cancel();
}

bool HostResolver::openChannel() {
    closeChannel();
    if (!library_.ok()) return false;
    ares_options opts{};
    opts.timeout = options_.timeoutMs;
    opts.tries = options_.tries;
    std::string lookups = options_.lookups;
    opts.lookups = lookups.data();
    std::string resolvConf = options_.resolvConf;
    int mask = ARES_OPT_TIMEOUTMS | ARES_OPT_TRIES | ARES_OPT_LOOKUPS;
    if (!resolvConf.empty()) {
        opts.resolvconf_path = resolvConf.data();
        mask |= ARES_OPT_RESOLVCONF;
    }
    if (ares_init_options(&channel_, &opts, mask) != ARES_SUCCESS) {
        channel_ = nullptr;
        return false;
    }
    if (!options_.servers.empty() &&
        ares_set_servers_ports_csv(channel_, options_.servers.c_str()) != ARES_SUCCESS) {
        closeChannel();
        return false;
    }
    return true;
}

void HostResolver::closeChannel() {
    if (channel_ == nullptr) return;
    // Destroying the channel calls back a pending look-up while this still lives.
    ares_destroy(channel_);
    channel_ = nullptr;
}

void HostResolver::start(const std::string& name) {
    cancel();
    succeeded_ = false;
    address_ = 0;
    if (name.empty() || isReservedInvalidName(name) || !openChannel()) return;
    busy_ = true;
    // May call back at once (a hosts-file entry), before it returns.
    ares_gethostbyname(channel_, name.c_str(), AF_INET, &HostResolver::onHost, this);
}

void HostResolver::cancel() {
    closeChannel();
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
    if (!busy_ || channel_ == nullptr) return -1;
    ares_socket_t socks[ARES_GETSOCK_MAXNUM];
    const int bits = ares_getsock(channel_, socks, ARES_GETSOCK_MAXNUM);
    for (int i = 0; i < ARES_GETSOCK_MAXNUM; ++i) {
        short events = 0;
        if (ARES_GETSOCK_READABLE(bits, i)) events = static_cast<short>(events | POLLIN);
        if (ARES_GETSOCK_WRITABLE(bits, i)) events = static_cast<short>(events | POLLOUT);
        if (events == 0) continue;
        fds.push_back(pollfd{socks[i], events, 0});
    }
    timeval tv{};
    if (ares_timeout(channel_, nullptr, &tv) == nullptr) return -1;
    // Rounded up, so a wait never ends just before the resolver's deadline; capped so
    // that a far deadline cannot overflow the milliseconds.
    constexpr long kMaxWaitMs = 60 * 1000;
    const long ms =
        std::min<long>(tv.tv_sec, kMaxWaitMs / 1000) * 1000 + (tv.tv_usec + 999) / 1000;
    return static_cast<int>(std::min(ms, kMaxWaitMs));
}

void HostResolver::process(const pollfd* fds, std::size_t count) {
    if (!busy_ || channel_ == nullptr) return;
    for (std::size_t i = 0; i < count; ++i) {
        const short ev = fds[i].revents;
        if (ev == 0) continue;
        const ares_socket_t readFd =
            (ev & (POLLIN | POLLERR | POLLHUP)) != 0 ? fds[i].fd : ARES_SOCKET_BAD;
        const ares_socket_t writeFd = (ev & POLLOUT) != 0 ? fds[i].fd : ARES_SOCKET_BAD;
        ares_process_fd(channel_, readFd, writeFd);
        if (!busy_) return;
    }
    // Runs the resolver's own time-outs and retries.
    ares_process_fd(channel_, ARES_SOCKET_BAD, ARES_SOCKET_BAD);
}

}  // namespace corvalo::net
