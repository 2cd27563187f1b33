// The owner window's side of the tray icon, headless: its close box and minimise
// offered to the icon. QtTrayOwner, the window as the icon's owner, is seen end to end.
#include "tray/qt/tray_owner_filter.h"

#include <gtest/gtest.h>

#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QCloseEvent>
#include <QWidget>

#include <string>

#include "tray/tray_icon_error.h"

namespace corvalo::tray {
namespace {

// The icon as the filter sees it: logs what the window reports and answers as told.
struct FilterFixture final : OwnerMessages {
    bool takeOver = false, fail = false;
    std::string log;
    QWidget window;
    TrayOwnerFilter filter{*this, [this](const std::string& m) { log += " error " + m; }};

    FilterFixture() { window.installEventFilter(&filter); }
    void note(const std::string& what) { log += (log.empty() ? "" : " ") + what; }
    bool ownerSysCommand(SysCommand command) override {
        note(command == SysCommand::Close ? "Close" : "Minimize");
        if (fail) throw TrayIconError(TrayIconFault::AddRefused);
        return takeOver;
    }
    void ownerPositionChanged() override {
        if (!log.ends_with("moved")) note("moved");  // showing moves and resizes: one note
    }
};

// Spontaneous: the close box or the window manager; else the program's own close().
TEST(TrayOwnerFilter, CloseBoxIsOfferedToTheTrayFirst) {
    const struct {
        const char* name;
        bool spontaneous, takeOver, fail, closes;
        const char* log;
    } rows[] = {
        {"tray takes it", true, true, false, false, "moved Close"},
        {"tray declines", true, false, false, true, "moved Close"},
        {"tray fails", true, false, true, true, "moved Close error Error adding tray icon"},
        {"the program's own close", false, true, false, true, "moved"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FilterFixture f;
        f.takeOver = row.takeOver;
        f.fail = row.fail;
        f.window.show();
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        if (row.spontaneous)
            QApplication::instance()->notify(&f.window, &close);  // keeps the mark
        EXPECT_EQ(row.spontaneous ? close.isAccepted() : f.window.close(), row.closes);
        EXPECT_EQ(f.log, row.log);
    }
}

TEST(TrayOwnerFilter, MinimiseIsReportedOnceAndShowingCountsAsAPositionChange) {
    FilterFixture f;
    f.window.show();
    f.window.showMinimized();
    f.window.setWindowState(f.window.windowState() | Qt::WindowActive);
    EXPECT_EQ(f.log, "moved Minimize moved");
}

}  // namespace
}  // namespace corvalo::tray
