// The tray icon's Qt side, headless: the offscreen platform has no notification
// area, so the tests that need one pass a probe that says there is.
#include "tray/qt/qt_notification_area.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QTest>

#include <string>
#include <vector>

#include "tray/tray_icon_error.h"

namespace corvalo::tray {
namespace {

constexpr int kNoPolling = 600000;

// Records what the area reports.
class RecordingListener final : public NotificationListener {
  public:
    std::vector<TrayMouseAction> actions;
    std::vector<bool> availability;

    void trayMouseAction(TrayMouseAction action, ShiftState) override {
        actions.push_back(action);
    }
    void trayAvailabilityChanged(bool available) override { availability.push_back(available); }
};

TEST(QtNotificationArea, OffscreenHasNoTrayAndRefusesTheIcon) {
    QtNotificationArea area;
    EXPECT_FALSE(area.available());
    EXPECT_FALSE(area.add(NotifyIconData{}));
    EXPECT_FALSE(area.trayIcon().isVisible());
}

TEST(QtNotificationArea, PollsForATrayComingAndGoingAndReportsEachChangeOnce) {
    bool present = false;
    QtNotificationArea area([&] { return present; }, 1);
    RecordingListener listener;
    area.setListener(&listener);
    present = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !listener.availability.empty(); }, 30000));
    present = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return listener.availability.size() >= 2; }, 30000));
    area.checkAvailability();
    EXPECT_EQ(listener.availability, (std::vector<bool>{true, false}));
}

TEST(QtNotificationArea, ShowsTheIconWithTheTipItIsGiven) {
    QtNotificationArea area([] { return true; }, kNoPolling);
    NotifyIconData data;
    data.icon = area.standardIcon();
    data.tip = "Summe \xE2\x82\xAC";  // UTF-8
    ASSERT_TRUE(area.add(data));
    EXPECT_TRUE(area.trayIcon().isVisible());
    EXPECT_EQ(area.trayIcon().toolTip(), QStringLiteral(u"Summe \u20AC"));
    EXPECT_FALSE(area.trayIcon().icon().isNull());
    data.flags = NotifyFlag::Message | NotifyFlag::Icon;
    EXPECT_TRUE(area.modify(data));
    EXPECT_TRUE(area.trayIcon().toolTip().isEmpty());
    EXPECT_TRUE(area.remove(data));
    EXPECT_FALSE(area.trayIcon().isVisible());
    EXPECT_FALSE(area.modify(data));
}

TEST(QtNotificationArea, ActivationsReachTheListenerAsMouseActions) {
    QtNotificationArea area([] { return true; }, kNoPolling);
    RecordingListener listener;
    area.setListener(&listener);
    auto& icon = const_cast<QSystemTrayIcon&>(area.trayIcon());
    emit icon.activated(QSystemTrayIcon::Context);  // which action is which: the mapper's table
    EXPECT_EQ(listener.actions, std::vector<TrayMouseAction>{TrayMouseAction::RightDown});
}

TEST(QtNotificationArea, MenuItemsRunTheirCommandsAndErrorsAreReportedNotThrown) {
    QtNotificationArea area([] { return true; }, kNoPolling);
    std::vector<std::string> errors;
    area.setErrorReporter([&](const std::string& m) { errors.push_back(m); });
    int closes = 0;
    TrayMenu menu{{{"&Close", [&] { ++closes; }},
                   {"&Restore", [] { throw TrayIconError(TrayIconFault::General); }}}};
    area.setMenu(&menu);
    const QList<QAction*> actions = area.trayIcon().contextMenu()->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("&Close"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("&Restore"));
    actions[0]->trigger();
    actions[1]->trigger();
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(errors, std::vector<std::string>{"Tray icon error"});
    area.setMenu(nullptr);
    EXPECT_EQ(area.trayIcon().contextMenu(), nullptr);
}

TEST(QtNotificationArea, ApplicationIconWhenThereIsOneElseNone) {
    QtNotificationArea area([] { return false; }, kNoPolling);
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

TEST(QtTrayTimer, TicksFromTheEventLoopAndStopsAtTheFirstError) {
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
