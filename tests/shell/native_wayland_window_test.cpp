// The window on a native Wayland display, headless: no stay-on-top, and the stored
// place is neither applied nor overwritten, since such a window cannot read its own.
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "window_fixture.h"

namespace corvalo::testing {
namespace {

constexpr std::int32_t kStoredLeft = 300;
constexpr std::int32_t kStoredTop = 200;
constexpr QPoint kMovedTo(40, 60);

// The settings file holding a place and StayOnTop=1; it keeps what the close wrote.
class PlaceStore final : public shell::SettingsStore {
  public:
    std::int32_t savedLeft = -1;
    std::int32_t savedTop = -1;
    bool savedStayOnTop = false;

    void load(const shell::SettingsTargets& t) override {
        t.left = kStoredLeft;
        t.top = kStoredTop;
        t.shell.stayOnTop = true;
    }
    void save(const shell::SettingsTargets& t) override {
        savedLeft = t.left;
        savedTop = t.top;
        savedStayOnTop = t.shell.stayOnTop;
    }
};

struct DisplayCase {
    const char* name;
    bool nativeWayland;
    bool stayOnTopUsable;  // the item enabled and the stored setting checked
    QPoint savedPlace;
};
void PrintTo(const DisplayCase& c, std::ostream* os) {
    *os << c.name;
}

class NativeWaylandTest : public WindowFixture, public ::testing::WithParamInterface<DisplayCase> {
  protected:
    void startOn(bool nativeWayland) {
        start({'.', ','}, {.settings = &store, .nativeWayland = nativeWayland});
    }

    PlaceStore store;
};

TEST_P(NativeWaylandTest, StayOnTopAndThePlaceFollowTheDisplay) {
    const DisplayCase& c = GetParam();
    startOn(c.nativeWayland);
    QAction* stayOnTop = child("actionStayOnTop");
    EXPECT_EQ(stayOnTop->isEnabled(), c.stayOnTopUsable);
    EXPECT_EQ(stayOnTop->isChecked(), c.stayOnTopUsable);

    window->move(kMovedTo);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->pos() == kMovedTo; }));
    window->close();
    EXPECT_EQ(QPoint(store.savedLeft, store.savedTop), c.savedPlace);
    EXPECT_TRUE(store.savedStayOnTop);  // written back as it was read
}

INSTANTIATE_TEST_SUITE_P(
    Displays, NativeWaylandTest,
    ::testing::Values(DisplayCase{"NativeWayland", true, false, {kStoredLeft, kStoredTop}},
                      DisplayCase{"X11", false, true, kMovedTo}),
    [](const ::testing::TestParamInfo<DisplayCase>& row) { return row.param.name; });

}  // namespace
}  // namespace corvalo::testing
