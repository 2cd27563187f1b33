#include "tray/qt/tray_activation_mapper.h"

namespace corvalo::tray {

std::optional<TrayMouseAction> TrayActivationMapper::map(QSystemTrayIcon::ActivationReason reason,
                                                         std::int64_t nowMs) {
    const bool pairs =
        lastPress_ && lastPress_->reason == reason && nowMs - lastPress_->atMs <= doubleClickMs_;
    switch (reason) {
        case QSystemTrayIcon::DoubleClick:
            lastPress_.reset();
            return TrayMouseAction::LeftDoubleClick;
        case QSystemTrayIcon::Trigger:
        case QSystemTrayIcon::MiddleClick: {
            const bool left = reason == QSystemTrayIcon::Trigger;
            if (pairs) {
                lastPress_.reset();
                return left ? TrayMouseAction::LeftDoubleClick
                            : TrayMouseAction::MiddleDoubleClick;
            }
            lastPress_ = Press{reason, nowMs};
            return left ? TrayMouseAction::LeftDown : TrayMouseAction::MiddleDown;
        }
        case QSystemTrayIcon::Context:
            lastPress_.reset();
            return TrayMouseAction::RightDown;
        case QSystemTrayIcon::Unknown:
            break;
    }
    return std::nullopt;
}

std::optional<TrayMouseAction> TrayActivationMapper::mapWindowDoubleClick(Qt::MouseButton button) {
    lastPress_.reset();
    if (button == Qt::MiddleButton) return TrayMouseAction::MiddleDoubleClick;
    if (button == Qt::RightButton) return TrayMouseAction::RightDoubleClick;
    return std::nullopt;  // Qt reports the left one itself
}

}  // namespace corvalo::tray
