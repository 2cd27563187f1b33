#include "shell/event_timing.h"

#include <QCoreApplication>
#include <QEvent>
#include <cstdio>

namespace corvalo::shell {

EventTiming::EventTiming(QObject* parent)
    : QObject(parent), enabled_(qEnvironmentVariable("CORVALO_TIMING") == QLatin1String("1")) {
    if (enabled_ && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
    }
}

bool EventTiming::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ShortcutOverride:  // a shortcut such as Ctrl+V fires before its KeyPress
        case QEvent::KeyPress:
        case QEvent::MouseButtonRelease:
            lastEvent_ = std::chrono::steady_clock::now();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void EventTiming::report(const char* what) const {
    if (!enabled_) return;
    const std::chrono::duration<double, std::milli> took =
        std::chrono::steady_clock::now() - lastEvent_;
    std::fprintf(stderr, "%s %.1f\n", what, took.count());
    std::fflush(stderr);
}

}  // namespace corvalo::shell
