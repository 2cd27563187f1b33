#include "platform/qt/window_band.h"

#include <QWidget>

namespace corvalo::platform {

void setStayOnTop(QWidget& window, bool on) {
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
    const bool visible = window.isVisible();
    const QRect geometry = window.geometry();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, on);  // this hides a shown window
    window.setGeometry(geometry);
    if (visible) window.show();
}

}  // namespace corvalo::platform
