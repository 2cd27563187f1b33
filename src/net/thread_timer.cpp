#include "net/thread_timer.h"

#include <utility>

namespace corvalo::net {

void TThreadTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    restart();
}

void TThreadTimer::SetInterval(std::uint32_t interval) {
    interval_ = interval;
    restart();
}

void TThreadTimer::SetOnTimer(TimerEvent onTimer) {
    onTimer_ = std::move(onTimer);
    restart();
}

void TThreadTimer::restart() {
    running_ = enabled_ && interval_ != 0 && static_cast<bool>(onTimer_);
    if (running_) dueMs_ = clock_.NowMs() + interval_;
}

std::int64_t TThreadTimer::MsUntilDue() const {
    if (!running_) return -1;
    const std::int64_t left = dueMs_ - clock_.NowMs();
    return left > 0 ? left : 0;
}

void TThreadTimer::Poll() {
    if (!running_ || clock_.NowMs() < dueMs_) return;
    dueMs_ = clock_.NowMs() + interval_;
    // A copy, so a handler that rebinds OnTimer does not destroy itself mid-call.
    const TimerEvent handler = onTimer_;
    handler(*this);
}

}  // namespace corvalo::net
