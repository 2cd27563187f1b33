// The tray icon's Qt side, headless: the offscreen platform has no notification
// area, which is exactly the desktop without a tray.
#include "tray/qt/qt_notification_area.h"
#include "tray/qt/tray_owner_filter.h"

#include <gtest/gtest.h>

#include <QtTest/qtestspontaneevent.h>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "tray/tray_icon.h"

namespace corvalo::tray {
namespace {

using tray::TrayMouseAction;

class CountingWindow final : public QWidget {
  public:
    int closeEvents = 0;

  protected:
    void closeEvent(QCloseEvent* event) override {
        ++closeEvents;
        QWidget::closeEvent(event);
    }
};

struct Step {
    QSystemTrayIcon::ActivationReason reason;
    std::int64_t atMs;
};

TEST(TrayActivationMapper, MapsWhatQtReportsToMouseActions) {
    using A = QSystemTrayIcon::ActivationReason;
    using Actions = std::vector<std::optional<TrayMouseAction>>;
    const struct {
        const char* name;
        std::vector<Step> steps;
        Actions expected;
    } rows[] = {
        {"single click", {{A::Trigger, 0}}, {TrayMouseAction::LeftDown}},
        {"XEmbed double-click",
         {{A::Trigger, 0}, {A::DoubleClick, 90}},
         {TrayMouseAction::LeftDown, TrayMouseAction::LeftDoubleClick}},
        {"host sends each click",
         {{A::Trigger, 0}, {A::Trigger, 200}},
         {TrayMouseAction::LeftDown, TrayMouseAction::LeftDoubleClick}},
        {"two slow clicks",
         {{A::Trigger, 0}, {A::Trigger, 401}},
         {TrayMouseAction::LeftDown, TrayMouseAction::LeftDown}},
        {"third click after a double-click",
         {{A::Trigger, 0}, {A::DoubleClick, 90}, {A::Trigger, 180}},
         {TrayMouseAction::LeftDown, TrayMouseAction::LeftDoubleClick, TrayMouseAction::LeftDown}},
        {"middle clicks pair",
         {{A::MiddleClick, 0}, {A::MiddleClick, 150}},
         {TrayMouseAction::MiddleDown, TrayMouseAction::MiddleDoubleClick}},
        {"left then middle do not pair",
         {{A::Trigger, 0}, {A::MiddleClick, 50}},
         {TrayMouseAction::LeftDown, TrayMouseAction::MiddleDown}},
        {"context", {{A::Context, 0}}, {TrayMouseAction::RightDown}},
        {"unknown", {{A::Unknown, 0}}, {std::nullopt}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TrayActivationMapper mapper(400);
        Actions got;
        for (const Step& step : row.steps) got.push_back(mapper.map(step.reason, step.atMs));
        EXPECT_EQ(got, row.expected);
    }
}

TEST(TrayActivationMapper, IconWindowDoubleClicksQtDrops) {
    TrayActivationMapper mapper(400);
    EXPECT_EQ(mapper.mapWindowDoubleClick(Qt::MiddleButton), TrayMouseAction::MiddleDoubleClick);
    EXPECT_EQ(mapper.mapWindowDoubleClick(Qt::RightButton), TrayMouseAction::RightDoubleClick);
    EXPECT_EQ(mapper.mapWindowDoubleClick(Qt::LeftButton), std::nullopt);
}

// The full icon over the Qt side, with the availability of a tray under the test's control.
struct QtTrayFixture {
    bool trayPresent = false;
    std::vector<std::string> log;
    std::vector<std::string> errors;
    CountingWindow window;
    QtNotificationArea area{[this] { return trayPresent; }, 60000};
    QtTrayTimer timer;
    QtTrayOwner owner{window};
    std::optional<tray::TrayIcon> tray;

    explicit QtTrayFixture(bool present) : trayPresent(present) {
        area.setErrorReporter([this](const std::string& m) { errors.push_back(m); });
        tray.emplace(tray::TrayIconServices{area, timer, owner});
        tray->setAnimate(true);
        tray->setCloseToTray(false);
        tray->setOnRestore([this](tray::TrayIconBase&) {
            log.push_back(window.isVisible() ? "OnRestore, window shown" : "OnRestore, hidden");
        });
        window.resize(200, 100);
        window.show();
        tray->loaded();
    }
    QAction* menuAction(const QString& text) const {
        const QMenu* menu = area.trayIcon().contextMenu();
        if (menu == nullptr) return nullptr;
        for (QAction* action : menu->actions())
            if (action->text() == text) return action;
        return nullptr;
    }
};

TEST(QtNotificationArea, OffscreenHasNoTray) {
    EXPECT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    QtNotificationArea area;
    EXPECT_FALSE(area.available());
    EXPECT_FALSE(area.add(tray::NotifyIconData{}));
}

TEST(QtNotificationArea, WithoutATrayShrinkToTrayMinimisesAndTheWindowStays) {
    QtTrayFixture f(false);
    EXPECT_FALSE(f.tray->iconAdded());
    EXPECT_FALSE(f.tray->shrinkToTray());
    EXPECT_TRUE(f.window.isMinimized());
    EXPECT_TRUE(f.window.isVisible());
    EXPECT_FALSE(f.area.trayIcon().isVisible());
}

TEST(QtNotificationArea, TrayAppearingLaterGetsTheIconWithItsTip) {
    QtTrayFixture f(false);
    f.tray->setHint(std::string(100, 'h'));
    f.area.checkAvailability();
    EXPECT_FALSE(f.area.trayIcon().isVisible());
    f.trayPresent = true;
    f.area.checkAvailability();
    ASSERT_TRUE(f.tray->iconAdded());
    EXPECT_TRUE(f.area.trayIcon().isVisible());
    EXPECT_EQ(f.area.trayIcon().toolTip(), QString(63, QChar('h')));
    EXPECT_FALSE(f.area.trayIcon().icon().isNull());
    f.tray->setShowHint(false);
    EXPECT_TRUE(f.area.trayIcon().toolTip().isEmpty());
}

TEST(QtNotificationArea, TrayGoingAwayShowsTheHiddenWindowAgain) {
    QtTrayFixture f(true);
    ASSERT_TRUE(f.tray->shrinkToTray());
    EXPECT_FALSE(f.window.isVisible());
    f.trayPresent = false;
    f.area.checkAvailability();
    EXPECT_TRUE(f.window.isVisible());
    EXPECT_EQ(f.log, std::vector<std::string>{"OnRestore, hidden"});
    EXPECT_FALSE(f.area.trayIcon().isVisible());
}

TEST(QtNotificationArea, MenuRestoreShowsTheWindowAfterOnRestore) {
    QtTrayFixture f(true);
    ASSERT_TRUE(f.tray->shrinkToTray());
    QAction* restore = f.menuAction("&Restore");
    ASSERT_NE(restore, nullptr);
    restore->trigger();
    EXPECT_TRUE(f.window.isVisible());
    EXPECT_EQ(f.log, std::vector<std::string>{"OnRestore, hidden"});
}

TEST(QtNotificationArea, MenuCloseEndsTheLoopWithoutClosingTheWindow) {
    QtTrayFixture f(true);
    QAction* close = f.menuAction("&Close");
    ASSERT_NE(close, nullptr);
    ASSERT_EQ(f.area.trayIcon().contextMenu()->actions().size(), 2);
    QEventLoop loop;
    QTimer::singleShot(0, close, &QAction::trigger);
    // A second exit far later only guards the test against a loop that never ends.
    QTimer::singleShot(30000, &loop, [&loop] { loop.exit(99); });
    EXPECT_EQ(loop.exec(), 0);
    EXPECT_EQ(f.window.closeEvents, 0);
    EXPECT_TRUE(f.window.isVisible());
}

TEST(QtNotificationArea, ErrorsOfTheMenusCallbacksAreReportedNotThrown) {
    bool present = true;
    QtNotificationArea area([&] { return present; }, 60000);
    std::vector<std::string> errors;
    area.setErrorReporter([&](const std::string& m) { errors.push_back(m); });
    tray::TrayMenu menu{
        {{"&Boom", [] { throw tray::TrayIconError(tray::kTrayGeneralError); }}}};
    area.setMenu(&menu);
    area.trayIcon().contextMenu()->actions().at(0)->trigger();
    EXPECT_EQ(errors, std::vector<std::string>{"Tray icon error"});
    area.setMenu(nullptr);
    EXPECT_EQ(area.trayIcon().contextMenu(), nullptr);
}

TEST(QtNotificationArea, ApplicationIconWhenThereIsOneElseNone) {
    QtNotificationArea area([] { return false; }, 60000);
    const QIcon saved = QApplication::windowIcon();
    QApplication::setWindowIcon(QIcon());
    EXPECT_EQ(area.applicationIcon(), tray::kNoIcon);
    EXPECT_FALSE(area.iconFor(area.standardIcon()).isNull());
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    QApplication::setWindowIcon(QIcon(pixmap));
    EXPECT_NE(area.applicationIcon(), tray::kNoIcon);
    EXPECT_FALSE(area.iconFor(area.applicationIcon()).isNull());
    QApplication::setWindowIcon(saved);
}

// Records what the window reports, and answers as told.
class FakeOwnerMessages final : public tray::OwnerMessages {
  public:
    bool takeOver = false;
    bool fail = false;
    std::vector<tray::SysCommand> commands;
    int positionChanges = 0;

    bool ownerSysCommand(tray::SysCommand command) override {
        commands.push_back(command);
        if (fail) throw tray::TrayIconError(tray::kTrayAddError);
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
        EXPECT_EQ(f.tray.commands, std::vector<tray::SysCommand>{tray::SysCommand::Close});
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
    EXPECT_EQ(f.tray.commands, std::vector<tray::SysCommand>{tray::SysCommand::Minimize});
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

TEST(QtTrayTimer, TicksFromTheEventLoopAndStops) {
    std::vector<std::string> errors;
    QtTrayTimer timer([&](const std::string& m) { errors.push_back(m); });
    int ticks = 0;
    timer.start(1, [&] {
        if (++ticks == 3) throw tray::TrayIconError(tray::kTrayGeneralError);
    });
    EXPECT_TRUE(timer.running());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !timer.running(); }, 30000));
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(errors, std::vector<std::string>{"Tray icon error"});
}

}  // namespace
}  // namespace corvalo::tray
