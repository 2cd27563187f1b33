#pragma once

#include <QSystemTrayIcon>

#include <cstdint>
#include <optional>

#include "tray/notification_area.h"

namespace corvalo::tray {

// Turns what QSystemTrayIcon reports into the icon's mouse actions. Qt reports a
// left double-click only on XEmbed trays, and StatusNotifierItem hosts send one
// activation per click, so two activations within the double-click time count as
// a double-click too: Trigger at 0 ms, Trigger at 120 ms -> LeftDown, LeftDoubleClick.
class TrayActivationMapper {
  public:
    explicit TrayActivationMapper(std::int64_t doubleClickMs) : doubleClickMs_(doubleClickMs) {}
    std::optional<TrayMouseAction> map(QSystemTrayIcon::ActivationReason reason,
                                       std::int64_t nowMs);
    // A double-click that the XEmbed icon window saw but Qt does not report.
    std::optional<TrayMouseAction> mapWindowDoubleClick(Qt::MouseButton button);

  private:
    struct Press {
        QSystemTrayIcon::ActivationReason reason;
        std::int64_t atMs;
    };
    std::int64_t doubleClickMs_;
    std::optional<Press> lastPress_;
};

}  // namespace corvalo::tray
