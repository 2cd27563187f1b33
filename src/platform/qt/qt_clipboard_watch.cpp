#include "platform/qt/qt_clipboard_watch.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <utility>

namespace corvalo::platform {

namespace {

// Wayland tells only the focused window about a new clipboard: no watching there.
bool desktopTellsChanges() {
    return QGuiApplication::clipboard() != nullptr &&
           !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

std::optional<std::string> offeredText(QClipboard::Mode mode) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(mode);
    if (data == nullptr || !data->hasText()) return std::nullopt;
    const QByteArray utf8 = data->text().toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace

QtClipboardWatch::QtClipboardWatch() {
    selectionTimer_.setSingleShot(true);
    selectionTimer_.setInterval(kSelectionSettleMs);
    QObject::connect(&selectionTimer_, &QTimer::timeout, &context_,
                     [this] { selectionSettled(); });
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return;
    QObject::connect(clipboard, &QClipboard::dataChanged, &context_,
                     [this] { clipboardChanged(); });
    // Every change restarts the wait: a selection being dragged is not reported.
    QObject::connect(clipboard, &QClipboard::selectionChanged, &context_, [this] {
        if (selectionOn_) selectionTimer_.start();
    });
}

bool QtClipboardWatch::canWatch(WatchedText which) const {
    if (!desktopTellsChanges()) return false;
    return which == WatchedText::Clipboard || QGuiApplication::clipboard()->supportsSelection();
}

void QtClipboardWatch::setWatching(WatchedText which, bool on) {
    const bool possible = on && canWatch(which);
    if (which == WatchedText::Clipboard) {
        clipboardOn_ = possible;
        return;
    }
    selectionOn_ = possible;
    if (!selectionOn_) selectionTimer_.stop();
}

void QtClipboardWatch::clipboardChanged() {
    // Our own Copy makes us the clipboard's owner: that change is not another program's.
    if (!clipboardOn_ || !handler_ || QGuiApplication::clipboard()->ownsClipboard()) return;
    handler_(WatchedText::Clipboard, offeredText(QClipboard::Clipboard));
}

void QtClipboardWatch::selectionSettled() {
    if (!selectionOn_ || !handler_ || QGuiApplication::clipboard()->ownsSelection()) return;
    handler_(WatchedText::Selection, offeredText(QClipboard::Selection));
}

}  // namespace corvalo::platform
