#pragma once

#include <functional>
#include <utility>

namespace corvalo::net::detail {

// Runs `action` however the scope ends: switches a time-out off after a wait.
class OnExit {
  public:
    explicit OnExit(std::function<void()> action) : action_(std::move(action)) {}
    ~OnExit() { action_(); }
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;

  private:
    std::function<void()> action_;
};

}  // namespace corvalo::net::detail
