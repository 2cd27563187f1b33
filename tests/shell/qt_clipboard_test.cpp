// The clipboard adapter's text in pieces: the UTF-8 bytes Qt holds, as they are.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <string>

#include "platform/qt/qt_clipboard.h"

namespace corvalo::testing {
namespace {

// Everything the adapter hands over, or "<none>".
std::string readAll(platform::QtClipboard& clipboard) {
    std::string text;
    if (!clipboard.readUtf8([&text](std::string_view piece) { text += piece; })) return "<none>";
    return text;
}

TEST(QtClipboardRead, TheTextAsUtf8) {
    const struct {
        const char* name;
        const char* type;  // nullptr: no data at all
        QByteArray bytes;
        std::string read;
    } rows[] = {
        {"plain text", "text/plain",
         "1\xE2\x88\x92"
         "2\n",
         "1\xE2\x88\x92"
         "2\n"},
        {"UTF-8 bytes kept byte for byte", "text/plain;charset=utf-8",
         QByteArray("7\xC2\xA0"
                    "8\n\xFF",
                    6),
         "7\xC2\xA0"
         "8\n\xFF"},
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

}  // namespace
}  // namespace corvalo::testing
