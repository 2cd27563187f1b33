#include "platform/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/error.h"
#include "platform/qt/x11_clipboard_reader.h"

namespace corvalo::platform {

namespace {

QClipboard& systemClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) throw Error("Cannot open clipboard");
    return *clipboard;
}

std::string_view view(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

}  // namespace

std::optional<std::string> QtClipboard::text() {
    const QMimeData* data = systemClipboard().mimeData();
    if (data == nullptr || !data->hasText()) return std::nullopt;
    const QByteArray utf8 = data->text().toUtf8();
    return std::string(view(utf8));
}

void QtClipboard::setText(const std::string& utf8) {
    systemClipboard().setText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

bool QtClipboard::readUtf8(const Utf8Sink& sink) {
    QClipboard& clipboard = systemClipboard();
    // Our own copy is answered by Qt from memory: asking the X server for it would
    // wait for this very thread.
    if (QGuiApplication::platformName() == QLatin1String("xcb") && !clipboard.ownsClipboard()) {
        switch (readX11ClipboardUtf8(sink)) {
            case X11ClipboardRead::Text:
                return true;
            case X11ClipboardRead::NoText:
                return false;
            case X11ClipboardRead::AskQt:
                break;
        }
    }
    const QMimeData* data = clipboard.mimeData();
    if (data == nullptr) return false;
    const QString utf8Type = QStringLiteral("text/plain;charset=utf-8");
    if (data->hasFormat(utf8Type)) {
        sink(view(data->data(utf8Type)));
        return true;
    }
    if (!data->hasText()) return false;
    sink(view(data->text().toUtf8()));
    return true;
}

}  // namespace corvalo::platform
