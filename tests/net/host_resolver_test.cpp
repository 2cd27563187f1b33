#include "net/host_resolver.h"

#include <chrono>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <poll.h>

#include <gtest/gtest.h>

#include "net/dns_server.h"
#include "net/test_pump.h"
#include "support/temp_dir.h"

namespace corvalo::net {
namespace {

using corvalo::testing::DnsServer;
using corvalo::testing::hostsFileOnly;

// Runs a look-up of `name` to its end (at most 10 s), `dns` answering; true when it found one.
bool lookUpToTheEnd(HostResolver& resolver, const std::string& name, DnsServer* dns = nullptr) {
    resolver.start(name);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::vector<pollfd> fds;
    while (resolver.busy() && std::chrono::steady_clock::now() < deadline) {
        fds.clear();
        const int wantMs = resolver.pollFds(fds);
        if (dns) fds.push_back({dns->fd(), POLLIN, 0});
        ::poll(fds.data(), fds.size(), wantMs < 0 ? 20 : std::min(wantMs, 20));
        if (dns) dns->answerWaiting();
        resolver.process(fds.data(), fds.size() - (dns ? 1 : 0));
    }
    const bool found = !resolver.busy() && resolver.succeeded();
    resolver.cancel();
    return found;
}

TEST(HostResolver, ReservedInvalidNamesFailAtOnceWithoutAQuery) {
    DnsServer silent;
    HostResolver resolver(silent.options());
    for (const char* name : {"update.corvalo.invalid", "X.INVALID.", "invalid"}) {
        SCOPED_TRACE(name);
        resolver.start(name);
        EXPECT_FALSE(resolver.busy());  // a query would still be waiting on the silent server
        EXPECT_FALSE(resolver.succeeded());
    }
    resolver.start("invalid.example");
    EXPECT_TRUE(resolver.busy());
    resolver.cancel();
}

TEST(HostResolver, EachLookUpReadsTheResolverConfigurationAsItIsThen) {
    const std::uint32_t answer = htonl(0xC0000207);  // 192.0.2.7
    DnsServer dns("update.new.test", answer);
    corvalo::testing::TempDir dir;
    const auto conf = dir / "resolv.conf";
    corvalo::testing::writeFile(conf, "search old.test\n");
    HostResolver::Options options = dns.options(2000);
    options.resolvConf = conf.string();
    HostResolver resolver(options);

    EXPECT_FALSE(lookUpToTheEnd(resolver, "update", &dns));
    // The user's network changes while the program runs.
    corvalo::testing::writeFile(conf, "search new.test\n");
    EXPECT_TRUE(lookUpToTheEnd(resolver, "update", &dns));
    EXPECT_EQ(resolver.address(), answer);
}

TEST(ResolverLibrary, RunsFromTheFirstResolverMadeToTheLastGone) {
    ASSERT_FALSE(ResolverLibrary::running());
    const int startsBefore = ResolverLibrary::starts();
    {
        HostResolver first(hostsFileOnly());
        EXPECT_TRUE(ResolverLibrary::running());
        EXPECT_TRUE(first.library().startedHere());
        {
            HostResolver second(hostsFileOnly());
            EXPECT_FALSE(second.library().startedHere());
        }
        EXPECT_TRUE(ResolverLibrary::running());  // the first still holds it
        EXPECT_TRUE(lookUpToTheEnd(first, "localhost"));
    }
    EXPECT_FALSE(ResolverLibrary::running());
    EXPECT_EQ(ResolverLibrary::starts(), startsBefore + 1);
}

}  // namespace
}  // namespace corvalo::net
