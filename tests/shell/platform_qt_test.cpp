// The platform layer as the window uses it: the clipboard's 8-bit text written
// back, the one guard around every command, message boxes and the pump.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "fakes.h"
#include "platform/clipboard.h"
#include "platform/command_guard.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_message_pump.h"

namespace corvalo::testing {
namespace {

// The conversion's cases are pinned in ansi_text_test; this is the clipboard's side.
TEST(ClipboardText, WrittenBackAsUtf8WithLf) {
    FakeClipboard clipboard;
    platform::writeAnsiText(clipboard,
                            "1\xA0"
                            "234,50\r\n");
    EXPECT_EQ(clipboard.contents,
              "1\u00A0"
              "234,50\n");
}

TEST(CommandGuard, ReportsWhatEscapesAndCarriesOn) {
    RecordingDialogs dialogs;
    platform::guarded(dialogs, [] { throw Error("Floating point overflow"); });
    platform::guarded(dialogs, [] { throw std::bad_alloc(); });
    platform::guarded(dialogs, [] { throw std::runtime_error("stoi"); });
    bool ran = false;
    platform::guarded(dialogs, [&ran] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(dialogs.errors,
              (std::vector<std::string>{"Floating point overflow", "Out of memory", "stoi"}));
}

TEST(MessageBox, CtrlCCopiesTitleTextAndButton) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    platform::QtDialogs dialogs(QStringLiteral("Corvalo Calculator"));
    bool seen = false;
    // The box runs its own loop: press the keys from inside it.
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        box->accept();
    });
    dialogs.showMessage(" There is no new version available.\r\n Last line. ");
    EXPECT_TRUE(seen);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "---------------------------\nCorvalo Calculator\n---------------------------\n"
              " There is no new version available.\n Last line. \n"
              "---------------------------\nOK\n---------------------------\n");
}

TEST(QtMessagePump, RunsWhatWaitsAndReturns) {
    platform::QtMessagePump pump;
    int timers = 0;
    int queued = 0;
    QTimer::singleShot(0, [&timers] { ++timers; });
    QMetaObject::invokeMethod(
        qApp, [&queued] { ++queued; }, Qt::QueuedConnection);
    pump.processMessages();
    EXPECT_EQ(timers, 1);
    EXPECT_EQ(queued, 1);
    pump.processMessages();  // nothing waits: returns at once instead of blocking
    EXPECT_EQ(timers + queued, 2);
}

}  // namespace
}  // namespace corvalo::testing
