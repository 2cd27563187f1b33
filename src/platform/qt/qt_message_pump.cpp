#include "platform/qt/qt_message_pump.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace corvalo::platform {

void QtMessagePump::processMessages() {
    // Without an application there is no event loop to run.
    if (QCoreApplication::instance() == nullptr) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents, kMaxBusyMs);
}

}  // namespace corvalo::platform
