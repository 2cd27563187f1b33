// The tray icon's Qt side, headless: the offscreen platform has no notification
// area, which is exactly the desktop without a tray.
#include "tray/qt/qt_notification_area.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QMenu>
#include <QPixmap>
#include <QTest>
#include <QTimer>

#include <optional>
#include <string>
#include <vector>

#include "counting_window.h"
#include "tray/qt/tray_owner_filter.h"
#include "tray/tray_icon.h"

namespace corvalo::tray {
namespace {

// The full icon over the Qt side, with the availability of a tray under the test's control.
struct QtTrayFixture {
    bool trayPresent = false;
    std::vector<std::string> log;
    std::vector<std::string> errors;
    CountingWindow window;
    QtNotificationArea area{[this] { return trayPresent; }, 60000};
    QtTrayTimer timer;
    QtTrayOwner owner{window};
    std::optional<TrayIcon> tray;

    explicit QtTrayFixture(bool present) : trayPresent(present) {
        area.setErrorReporter([this](const std::string& m) { errors.push_back(m); });
        tray.emplace(TrayIconServices{area, timer, owner});
        tray->setAnimate(true);
        tray->setCloseToTray(false);
        tray->setOnRestore([this](TrayIcon&) {
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
    EXPECT_FALSE(area.add(NotifyIconData{}));
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
    TrayMenu menu{{{"&Boom", [] { throw TrayIconError(TrayIconFault::General); }}}};
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
    EXPECT_EQ(area.applicationIcon(), kNoIcon);
    EXPECT_FALSE(area.iconFor(area.standardIcon()).isNull());
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    QApplication::setWindowIcon(QIcon(pixmap));
    EXPECT_NE(area.applicationIcon(), kNoIcon);
    EXPECT_FALSE(area.iconFor(area.applicationIcon()).isNull());
    QApplication::setWindowIcon(saved);
}

TEST(QtTrayTimer, TicksFromTheEventLoopAndStops) {
    std::vector<std::string> errors;
    QtTrayTimer timer([&](const std::string& m) { errors.push_back(m); });
    int ticks = 0;
    timer.start(1, [&] {
        if (++ticks == 3) throw TrayIconError(TrayIconFault::General);
    });
    EXPECT_TRUE(timer.running());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !timer.running(); }, 30000));
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(errors, std::vector<std::string>{"Tray icon error"});
}

}  // namespace
}  // namespace corvalo::tray
