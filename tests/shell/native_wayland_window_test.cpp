// The window on a native Wayland display, headless: no stay-on-top, and the stored
// place is neither applied nor overwritten, since such a window cannot read its own.
// Elsewhere a place off every screen comes back onto one.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using NativeWaylandTest = WindowFixture;

TEST_F(NativeWaylandTest, StayOnTopAndThePlaceFollowTheDisplay) {
    const QPoint stored(5000, 4000);  // beyond every screen
    const QPoint movedTo(40, 60);
    const struct {
        const char* name;
        bool nativeWayland;
        bool stayOnTopUsable;  // the item enabled and the stored setting checked
        QPoint savedPlace;
    } rows[] = {{"native Wayland", true, false, stored}, {"X11", false, true, movedTo}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        settings.onLoad = [stored](const shell::SettingsTargets& t) {
            t.left = stored.x();
            t.top = stored.y();
            t.shell.stayOnTop = true;
        };
        start({'.', ','}, {.nativeWayland = row.nativeWayland});
        QAction* stayOnTop = child("actionStayOnTop");
        EXPECT_EQ(stayOnTop->isEnabled(), row.stayOnTopUsable);
        EXPECT_EQ(stayOnTop->isChecked(), row.stayOnTopUsable);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(screen.intersects(window->frameGeometry()));
        EXPECT_LE(window->frameGeometry().right(), screen.right());

        window->move(movedTo);
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->pos() == movedTo; }));
        window->close();
        EXPECT_EQ(settings.savedPlace, row.savedPlace);
        EXPECT_TRUE(settings.saved.stayOnTop);  // written back as it was read
    }
}

}  // namespace
}  // namespace corvalo::testing
