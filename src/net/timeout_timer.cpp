#include "net/timeout_timer.h"

#include <utility>

namespace corvalo::net {

void TimeoutTimer::setEnabled(bool enabled) {
    enabled_ = enabled;
    restart();
}

void TimeoutTimer::setInterval(std::uint32_t interval) {
    interval_ = interval;
    restart();
}

void TimeoutTimer::setOnTimer(TimerEvent onTimer) {
    onTimer_ = std::move(onTimer);
    restart();
}

void TimeoutTimer::restart() {
    running_ = enabled_ && interval_ != 0 && static_cast<bool>(onTimer_);
    if (running_) dueMs_ = clock_.nowMs() + interval_;
}

std::int64_t TimeoutTimer::msUntilDue() const {
    if (!running_) return -1;
    const std::int64_t left = dueMs_ - clock_.nowMs();
    return left > 0 ? left : 0;
}

void TimeoutTimer::poll() {
    if (!running_ || clock_.nowMs() < dueMs_) return;
    dueMs_ = clock_.nowMs() + interval_;
    // A copy, so a handler that rebinds OnTimer does not destroy itself mid-call.
    const TimerEvent handler = onTimer_;
    handler(*this);
}

}  // namespace corvalo::net
