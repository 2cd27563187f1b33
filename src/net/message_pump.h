#pragma once

#include <cstdint>

namespace corvalo::net {

// Runs the program's pending events without blocking. Every wait of the socket
// layer calls it between polls, so the window stays usable while a request waits:
// the program passes an adapter over its event loop, tests a fake.
class MessagePump {
  public:
    virtual ~MessagePump() = default;
    virtual void processMessages() = 0;
};

// Milliseconds from an arbitrary start that never goes back; drives the time-outs.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
};

// The real clock (std::chrono::steady_clock).
class SteadyClock final : public Clock {
  public:
    std::int64_t nowMs() const override;
};

// A pump with nothing to run: for programs without an event loop (tools, tests).
class NoEventsPump final : public MessagePump {
  public:
    void processMessages() override {}
};

}  // namespace corvalo::net
