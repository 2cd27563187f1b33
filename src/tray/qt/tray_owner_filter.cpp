#include "tray/qt/tray_owner_filter.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindowStateChangeEvent>

#include <exception>

namespace corvalo::tray {

TrayOwnerFilter::TrayOwnerFilter(OwnerMessages& tray, TrayErrorReporter reporter, QObject* parent)
    : QObject(parent), tray_(tray), reporter_(std::move(reporter)) {}

bool TrayOwnerFilter::guarded(SysCommand command) {
    try {
        return tray_.ownerSysCommand(command);
    } catch (const std::exception& e) {
        if (reporter_) reporter_(e.what());
        return false;
    }
}

void TrayOwnerFilter::positionChanged() {
    try {
        tray_.ownerPositionChanged();
    } catch (const std::exception& e) {
        if (reporter_) reporter_(e.what());
    }
}

bool TrayOwnerFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QWidget*>(watched);
    if (window == nullptr) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::Close:
            // Spontaneous: the close box or the window manager, not the program's own close().
            if (event->spontaneous() && guarded(SysCommand::Close)) {
                event->ignore();
                return true;
            }
            break;
        case QEvent::WindowStateChange: {
            const auto* change = static_cast<QWindowStateChangeEvent*>(event);
            const bool wasMinimized = (change->oldState() & Qt::WindowMinimized) != 0;
            if (window->isMinimized() && !wasMinimized) guarded(SysCommand::Minimize);
            positionChanged();
            break;
        }
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
            positionChanged();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

bool QtTrayOwner::isMinimized() const {
    return window_.isMinimized();
}

bool QtTrayOwner::isVisible() const {
    return window_.isVisible();
}

void QtTrayOwner::setNormalState() {
    window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
}

void QtTrayOwner::hide() {
    window_.hide();
}

void QtTrayOwner::showAndActivate() {
    window_.show();
    window_.raise();
    window_.activateWindow();
}

void QtTrayOwner::minimize() {
    window_.showMinimized();
}

void QtTrayOwner::endMessageLoop() {
    QCoreApplication::exit(0);
}

}  // namespace corvalo::tray
