// The tray icon's Qt side, headless: the offscreen platform has no notification area, so
// the test passes a probe that says there is. A real tray coming and going, its clicks and
// the program's icon are seen end to end under a tray host.
#include "tray/qt/qt_notification_area.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>

#include <string>

#include "tray/tray_icon_error.h"

namespace corvalo::tray {
namespace {

TEST(QtNotificationArea, ShowsTheIconWithItsTipAndMenu) {
    QtNotificationArea area([] { return true; }, 600000);  // no polling
    std::string log;
    area.setErrorReporter([&](const std::string& m) { log += m; });
    NotifyIconData data;
    data.icon = area.standardIcon();
    data.tip = "Summe \xE2\x82\xAC";  // UTF-8
    ASSERT_TRUE(area.add(data));
    EXPECT_TRUE(area.trayIcon().isVisible());
    EXPECT_EQ(area.trayIcon().toolTip(), QStringLiteral(u"Summe \u20AC"));
    EXPECT_FALSE(area.trayIcon().icon().isNull());
    {
        SCOPED_TRACE("menu items run their commands; errors are reported, not thrown");
        TrayMenu menu{{{"&Close", [&] { log += "closed, "; }},
                       {"&Restore", [] { throw TrayIconError(TrayIconFault::General); }}}};
        area.setMenu(&menu);
        const QList<QAction*> actions = area.trayIcon().contextMenu()->actions();
        ASSERT_EQ(actions.size(), 2);
        EXPECT_EQ(actions[1]->text(), QStringLiteral("&Restore"));
        actions[0]->trigger();
        actions[1]->trigger();
        EXPECT_EQ(log, "closed, Tray icon error");
        area.setMenu(nullptr);
        EXPECT_EQ(area.trayIcon().contextMenu(), nullptr);
    }
    data.flags = NotifyFlag::Message | NotifyFlag::Icon;
    EXPECT_TRUE(area.modify(data));
    EXPECT_TRUE(area.trayIcon().toolTip().isEmpty());
    EXPECT_TRUE(area.remove(data));
    EXPECT_FALSE(area.trayIcon().isVisible());
    EXPECT_FALSE(area.modify(data));
}

TEST(QtTrayTimer, TicksFromTheEventLoopAndStopsAtTheFirstError) {
    std::string errors;
    QtTrayTimer timer([&](const std::string& m) { errors += m; });
    int ticks = 0;
    timer.start(1, [&] {
        if (++ticks == 3) throw TrayIconError(TrayIconFault::General);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !timer.running(); }, 30000));
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(errors, "Tray icon error");
}

}  // namespace
}  // namespace corvalo::tray
