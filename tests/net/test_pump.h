#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "net/host_resolver.h"
#include "net/message_pump.h"
#include "platform/error.h"

namespace corvalo::testing {

// Stands in for the program's event loop: counts the passes of the waits and runs
// `onPass`, as an event handler would run during a wait.
class TestPump final : public net::MessagePump {
  public:
    void processMessages() override {
        ++passes;
        if (onPass) onPass();
    }
    int passes = 0;
    std::function<void()> onPass;
};

// A clock that moves only when told.
class FakeClock final : public net::Clock {
  public:
    std::int64_t nowMs() const override { return now; }
    std::int64_t now = 1000;
};

// Names come from the hosts file only, so no test ever waits on a DNS server.
inline net::HostResolver::Options hostsFileOnly() {
    net::HostResolver::Options options;
    options.tries = 1;
    options.lookups = "f";
    return options;
}

// The longest a test lets one wait of a client run: a hung scenario fails by time-out.
inline constexpr std::int32_t kHungMs = 10000;

// The text of the `E` that `action` throws; empty when it returns.
template <typename E = corvalo::Error, typename Action>
std::string errorText(Action&& action) {
    try {
        action();
    } catch (const E& e) {
        return e.what();
    }
    return "";
}

}  // namespace corvalo::testing
