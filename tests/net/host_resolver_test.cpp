#include "net/host_resolver.h"

#include <string>

#include <arpa/inet.h>

#include <gtest/gtest.h>

#include "net/dns_server.h"
#include "net/test_pump.h"
#include "support/temp_dir.h"

namespace corvalo::net {
namespace {

using corvalo::testing::DnsServer;
using corvalo::testing::hostsFileOnly;
using corvalo::testing::lookUpToTheEnd;

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

    EXPECT_FALSE(lookUpToTheEnd(resolver, "update"));
    // The user's network changes while the program runs.
    corvalo::testing::writeFile(conf, "search new.test\n");
    EXPECT_TRUE(lookUpToTheEnd(resolver, "update"));
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
