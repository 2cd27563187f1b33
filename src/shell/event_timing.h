#pragma once

#include <QObject>
#include <chrono>

namespace corvalo::shell {

// With CORVALO_TIMING=1 in the environment, a command reports on standard error how
// long it took from the key or mouse event that started it: "paste-ms 41.3".
// Without it nothing is watched and nothing printed.
class EventTiming final : public QObject {
  public:
    explicit EventTiming(QObject* parent = nullptr);
    bool enabled() const { return enabled_; }
    // Prints "<what> <milliseconds since the last key press or mouse release>".
    void report(const char* what) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool enabled_ = false;
    std::chrono::steady_clock::time_point lastEvent_ = std::chrono::steady_clock::now();
};

}  // namespace corvalo::shell
