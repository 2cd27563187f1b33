#pragma once

#include <cstdint>
#include <functional>

#include "net/message_pump.h"

namespace corvalo::net {

// The socket layer's time-out timer. It runs no thread: the waits of the socket
// layer call poll() on every pass, as a window timer fires from the message loop.
// It runs only while Interval is not 0, it is enabled and OnTimer is bound; each
// change of those restarts the interval, and after firing it re-arms itself.
class TimeoutTimer {
  public:
    using TimerEvent = std::function<void(TimeoutTimer& sender)>;

    explicit TimeoutTimer(const Clock& clock) : clock_(clock) {}

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    std::uint32_t interval() const { return interval_; }
    void setInterval(std::uint32_t interval);
    void setOnTimer(TimerEvent onTimer);

    bool running() const { return running_; }
    // Milliseconds until the next tick (0 when due), or -1 when not running.
    std::int64_t msUntilDue() const;
    // Fires OnTimer once when the interval has passed, then counts again from now.
    void poll();

  private:
    void restart();

    const Clock& clock_;
    bool enabled_ = true;
    std::uint32_t interval_ = 1000;
    TimerEvent onTimer_;
    bool running_ = false;
    std::int64_t dueMs_ = 0;
};

}  // namespace corvalo::net
