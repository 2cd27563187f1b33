#include "platform/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/error.h"

namespace corvalo::platform {

namespace {

QClipboard& systemClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) throw Error("Cannot open clipboard");
    return *clipboard;
}

}  // namespace

std::optional<std::string> QtClipboard::text() {
    const QMimeData* data = systemClipboard().mimeData();
    if (data == nullptr || !data->hasText()) return std::nullopt;
    const QByteArray utf8 = data->text().toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

void QtClipboard::setText(const std::string& utf8) {
    systemClipboard().setText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

}  // namespace corvalo::platform
