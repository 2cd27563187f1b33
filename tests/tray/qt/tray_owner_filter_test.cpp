// The owner window's side of the tray icon, headless: its close box and minimise
// offered to the icon, and the window as the icon's owner.
#include "tray/qt/tray_owner_filter.h"

#include <gtest/gtest.h>

#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QCloseEvent>

#include <string>
#include <vector>

#include "counting_window.h"
#include "tray/tray_icon_error.h"

namespace corvalo::tray {
namespace {

// Records what the window reports, and answers as told.
class FakeOwnerMessages final : public OwnerMessages {
  public:
    bool takeOver = false;
    bool fail = false;
    std::vector<SysCommand> commands;
    int positionChanges = 0;

    bool ownerSysCommand(SysCommand command) override {
        commands.push_back(command);
        if (fail) throw TrayIconError(TrayIconFault::AddRefused);
        return takeOver;
    }
    void ownerPositionChanged() override { ++positionChanges; }
};

struct FilterFixture {
    FakeOwnerMessages tray;
    std::vector<std::string> errors;
    CountingWindow window;
    TrayOwnerFilter filter{tray, [this](const std::string& m) { errors.push_back(m); }};

    FilterFixture() {
        window.installEventFilter(&filter);
        window.resize(200, 100);
        window.show();
    }
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
        f.tray.takeOver = row.takeOver;
        f.tray.fail = row.fail;
        EXPECT_EQ(f.systemClose(), row.closes);
        EXPECT_EQ(f.tray.commands, std::vector<SysCommand>{SysCommand::Close});
        EXPECT_EQ(f.window.closeEvents, row.closes ? 1 : 0);
        EXPECT_EQ(f.errors, row.errors);
    }
}

TEST(TrayOwnerFilter, TheProgramsOwnCloseIsNotOffered) {
    FilterFixture f;
    f.tray.takeOver = true;
    f.window.close();
    EXPECT_TRUE(f.tray.commands.empty());
    EXPECT_FALSE(f.window.isVisible());
}

TEST(TrayOwnerFilter, MinimiseIsReportedOnceAndShowingCountsAsAPositionChange) {
    FilterFixture f;
    EXPECT_GT(f.tray.positionChanges, 0);
    f.window.showMinimized();
    EXPECT_EQ(f.tray.commands, std::vector<SysCommand>{SysCommand::Minimize});
    f.window.setWindowState(f.window.windowState() | Qt::WindowActive);
    EXPECT_EQ(f.tray.commands.size(), 1u);
}

TEST(QtTrayOwner, MinimisedWindowComesBackNormalAndShown) {
    CountingWindow window;
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

}  // namespace
}  // namespace corvalo::tray
