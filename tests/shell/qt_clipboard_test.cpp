// The clipboard adapter: the UTF-8 bytes Qt holds, as they are, and its text both ways.
#include "platform/qt/qt_clipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <string>

namespace corvalo::testing {
namespace {

// Everything the adapter hands over, or "<none>".
std::string readAll(platform::QtClipboard& clipboard) {
    std::string text;
    if (!clipboard.readUtf8([&text](std::string_view piece) { text += piece; })) return "<none>";
    return text;
}

TEST(QtClipboard, ReadsTheTextAsUtf8) {
    const std::string kMinus =
        "1\xE2\x88\x92"
        "2\n";
    const std::string kRaw(
        "7\xC2\xA0"
        "8\n\xFF",
        6);
    const struct {
        const char* name;
        const char* type;  // nullptr: no data at all
        QByteArray bytes;
        std::string read;
    } rows[] = {
        {"plain text", "text/plain", QByteArray::fromStdString(kMinus), kMinus},
        {"UTF-8 bytes kept byte for byte", "text/plain;charset=utf-8",
         QByteArray::fromStdString(kRaw), kRaw},
        {"no text", "image/png", "\x89PNG", "<none>"},
        {"empty clipboard", nullptr, "", "<none>"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto* data = new QMimeData;
        if (row.type != nullptr) data->setData(QString::fromLatin1(row.type), row.bytes);
        QGuiApplication::clipboard()->setMimeData(data);
        platform::QtClipboard clipboard;
        EXPECT_EQ(readAll(clipboard), row.read);
    }
}

TEST(QtClipboard, TextBothWays) {
    platform::QtClipboard clipboard;
    clipboard.setText("1,234.50");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("1,234.50"));
    QGuiApplication::clipboard()->setText(QStringLiteral("7\n8"));
    EXPECT_EQ(clipboard.text(), "7\n8");
}

}  // namespace
}  // namespace corvalo::testing
