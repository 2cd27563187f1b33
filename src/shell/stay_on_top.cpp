#include "shell/stay_on_top.h"

#include <QMainWindow>
#include <QTimer>

#include "platform/qt/window_band.h"
#include "shell/main_menu.h"
#include "shell/settings.h"

namespace corvalo::shell {

StayOnTop::StayOnTop(QMainWindow& window, MainMenu& menu, ShellSettings& shell, bool nativeWayland)
    : window_(window), menu_(menu), shell_(shell), nativeWayland_(nativeWayland) {}

void StayOnTop::apply() {
    menu_.enableStayOnTop(!nativeWayland_);
    menu_.setStayOnTopChecked(shell_.stayOnTop && !nativeWayland_);
    if (!menu_.stayOnTopChecked()) return;
    // Changing the window band while Qt shows the window would hide it again.
    QTimer::singleShot(0, &window_,
                       [this] { platform::setStayOnTop(window_, menu_.stayOnTopChecked()); });
}

void StayOnTop::toggle() {
    shell_.stayOnTop = menu_.stayOnTopChecked();
    platform::setStayOnTop(window_, shell_.stayOnTop);
}

}  // namespace corvalo::shell
