// The owner window's side of the tray icon, headless: its close box and minimise
// offered to the icon, and the window as the icon's owner.
#include "tray/qt/tray_owner_filter.h"

#include <gtest/gtest.h>

#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>

#include "tray/tray_icon_error.h"

namespace corvalo::tray {
namespace {

// The icon as the filter sees it: records what the window reports and answers as told.
struct FilterFixture final : OwnerMessages {
    bool takeOver = false;
    bool fail = false;
    std::vector<SysCommand> commands;
    int positionChanges = 0;
    std::vector<std::string> errors;
    QWidget window;
    TrayOwnerFilter filter{*this, [this](const std::string& m) { errors.push_back(m); }};

    FilterFixture() {
        window.installEventFilter(&filter);
        window.resize(200, 100);
        window.show();
    }
    bool ownerSysCommand(SysCommand command) override {
        commands.push_back(command);
        if (fail) throw TrayIconError(TrayIconFault::AddRefused);
        return takeOver;
    }
    void ownerPositionChanged() override { ++positionChanges; }
    // As the close box or the window manager closes it; true when the window would close.
    bool systemClose() {
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        QApplication::instance()->notify(&window, &close);  // sendEvent would clear the mark
        return close.isAccepted();
    }
};

TEST(TrayOwnerFilter, CloseBoxIsOfferedToTheTrayFirst) {
    const struct {
        const char* name;
        bool takeOver;
        bool fail;
        bool closes;
        std::vector<std::string> errors;
    } rows[] = {
        {"tray takes it", true, false, false, {}},
        {"tray declines", false, false, true, {}},
        {"tray fails", false, true, true, {"Error adding tray icon"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FilterFixture f;
        f.takeOver = row.takeOver;
        f.fail = row.fail;
        EXPECT_EQ(f.systemClose(), row.closes);
        EXPECT_EQ(f.commands, std::vector<SysCommand>{SysCommand::Close});
        EXPECT_EQ(f.errors, row.errors);
    }
}

TEST(TrayOwnerFilter, TheProgramsOwnCloseIsNotOffered) {
    FilterFixture f;
    f.takeOver = true;
    f.window.close();
    EXPECT_TRUE(f.commands.empty());
    EXPECT_FALSE(f.window.isVisible());
}

TEST(TrayOwnerFilter, MinimiseIsReportedOnceAndShowingCountsAsAPositionChange) {
    FilterFixture f;
    EXPECT_GT(f.positionChanges, 0);
    f.window.showMinimized();
    EXPECT_EQ(f.commands, std::vector<SysCommand>{SysCommand::Minimize});
    f.window.setWindowState(f.window.windowState() | Qt::WindowActive);
    EXPECT_EQ(f.commands.size(), 1u);
}

TEST(QtTrayOwner, MinimisedWindowComesBackNormalAndShown) {
    QWidget window;
    QtTrayOwner owner(window);
    window.show();
    owner.minimize();
    EXPECT_TRUE(owner.isMinimized());
    owner.hide();
    EXPECT_FALSE(owner.isVisible());
    owner.setNormalState();
    owner.showAndActivate();
    EXPECT_FALSE(owner.isMinimized());
    EXPECT_TRUE(owner.isVisible());
}

TEST(QtTrayOwner, EndingTheLoopClosesNoWindow) {
    QWidget window;
    window.show();
    QtTrayOwner owner(window);
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&owner] { owner.endMessageLoop(); });
    // Only a guard against a loop that never ends; the end comes at once.
    QTimer::singleShot(30000, &loop, [&loop] { loop.exit(99); });
    EXPECT_EQ(loop.exec(), 0);
    EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace corvalo::tray
