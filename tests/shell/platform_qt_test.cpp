// The platform layer as the window uses it: the clipboard adapter, the one guard around
// every command, message boxes and the pump.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>
#include <string>
#include <tuple>

#include "fakes.h"
#include "platform/command_guard.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_message_pump.h"

namespace corvalo::testing {
namespace {

// The UTF-8 bytes Qt holds are handed over as they are, by the MIME type.
TEST(QtClipboard, ReadsTheTextAsUtf8) {
    const std::tuple<const char*, std::string, bool> rows[] = {
        {"text/plain", "1\342\210\2222\n", true},                     // the minus sign
        {"text/plain;charset=utf-8", {"7\302\2408\n\377", 6}, true},  // kept byte for byte
        {"image/png", "\211PNG", false},
    };
    platform::QtClipboard clipboard;
    for (const auto& [type, bytes, offered] : rows) {
        auto* data = new QMimeData;
        data->setData(QString::fromLatin1(type), QByteArray::fromStdString(bytes));
        QGuiApplication::clipboard()->setMimeData(data);
        std::string text;
        EXPECT_EQ(clipboard.readUtf8([&text](std::string_view p) { text += p; }), offered) << type;
        EXPECT_EQ(text, offered ? bytes : "") << type;
    }
}

TEST(CommandGuard, ReportsWhatEscapesAndCarriesOn) {
    RecordingDialogs dialogs;
    platform::guarded(dialogs, [] { throw std::bad_alloc(); });
    platform::guarded(dialogs, [] { throw Error("Floating point overflow"); });
    EXPECT_EQ(dialogs.errors,
              (std::vector<std::string>{"Out of memory", "Floating point overflow"}));
}

// Ctrl+C in a message box copies what the user sees, as the Windows box does.
TEST(MessageBox, CopyTextHoldsTitleTextAndButton) {
    EXPECT_EQ(
        platform::messageBoxCopyText("Corvalo Calculator", " Text.\r\n Last line. ").toStdString(),
        "---------------------------\nCorvalo Calculator\n---------------------------\n"
        " Text.\n Last line. \n---------------------------\nOK\n"
        "---------------------------\n");
}

// Runs what waits, and returns at once when nothing does instead of blocking.
TEST(QtMessagePump, RunsWhatWaitsAndReturns) {
    int ran = 0;
    QTimer::singleShot(0, [&ran] { ran += 1; });
    QMetaObject::invokeMethod(
        qApp, [&ran] { ran += 10; }, Qt::QueuedConnection);
    platform::QtMessagePump().processMessages();
    platform::QtMessagePump().processMessages();
    EXPECT_EQ(ran, 11);
}

}  // namespace
}  // namespace corvalo::testing
