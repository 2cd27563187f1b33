#include "net/thread_timer.h"

#include <gtest/gtest.h>

#include "net/test_pump.h"

namespace corvalo::net {
namespace {

using corvalo::testing::FakeClock;

struct TimerFixture {
    FakeClock clock;
    TThreadTimer timer{clock};
    int ticks = 0;

    void bind() {
        timer.SetOnTimer([this](TThreadTimer&) { ++ticks; });
    }
    void advance(std::int64_t ms) {
        clock.now += ms;
        timer.Poll();
    }
};

TEST(TThreadTimer, StartsEnabledWithOneSecondButRunsOnlyOnceBound) {
    TimerFixture f;
    EXPECT_TRUE(f.timer.Enabled());
    EXPECT_EQ(f.timer.Interval(), 1000u);
    EXPECT_FALSE(f.timer.Running());
    f.advance(5000);
    EXPECT_EQ(f.ticks, 0);
    f.bind();
    EXPECT_TRUE(f.timer.Running());
}

TEST(TThreadTimer, FiresAfterTheIntervalAndAgainAfterTheNext) {
    TimerFixture f;
    f.bind();
    f.timer.SetInterval(200);
    f.advance(199);
    EXPECT_EQ(f.ticks, 0);
    EXPECT_EQ(f.timer.MsUntilDue(), 1);
    f.advance(1);
    EXPECT_EQ(f.ticks, 1);
    f.advance(199);
    EXPECT_EQ(f.ticks, 1);
    f.advance(1);
    EXPECT_EQ(f.ticks, 2);
}

TEST(TThreadTimer, DoesNotRunWhenDisabledOrWithIntervalZero) {
    const struct {
        const char* name;
        bool enabled;
        std::uint32_t interval;
    } rows[] = {{"disabled", false, 100}, {"interval 0", true, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TimerFixture f;
        f.bind();
        f.timer.SetInterval(row.interval);
        f.timer.SetEnabled(row.enabled);
        EXPECT_EQ(f.timer.MsUntilDue(), -1);
        f.advance(10000);
        EXPECT_EQ(f.ticks, 0);
    }
}

TEST(TThreadTimer, EnablingAgainCountsTheIntervalFromThen) {
    TimerFixture f;
    f.bind();
    f.timer.SetInterval(100);
    f.advance(90);
    f.timer.SetEnabled(true);  // a time-out restarted by each received piece
    f.advance(90);
    EXPECT_EQ(f.ticks, 0);
    f.advance(10);
    EXPECT_EQ(f.ticks, 1);
}

TEST(TThreadTimer, AHandlerMaySwitchItsTimerOff) {
    TimerFixture f;
    f.timer.SetInterval(10);
    f.timer.SetOnTimer([&f](TThreadTimer& t) {
        ++f.ticks;
        t.SetEnabled(false);
    });
    f.advance(10);
    f.advance(10);
    EXPECT_EQ(f.ticks, 1);
    EXPECT_FALSE(f.timer.Running());
}

}  // namespace
}  // namespace corvalo::net
