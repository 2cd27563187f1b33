#include "net/timeout_timer.h"

#include <gtest/gtest.h>

#include "net/test_pump.h"

namespace corvalo::net {
namespace {

using corvalo::testing::FakeClock;

struct TimerFixture {
    FakeClock clock;
    TimeoutTimer timer{clock};
    int ticks = 0;

    void bind() {
        timer.setOnTimer([this](TimeoutTimer&) { ++ticks; });
    }
    void advance(std::int64_t ms) {
        clock.now += ms;
        timer.poll();
    }
};

TEST(TimeoutTimer, StartsEnabledWithOneSecondButRunsOnlyOnceBound) {
    TimerFixture f;
    EXPECT_TRUE(f.timer.enabled());
    EXPECT_EQ(f.timer.interval(), 1000u);
    EXPECT_FALSE(f.timer.running());
    f.advance(5000);
    EXPECT_EQ(f.ticks, 0);
    f.bind();
    EXPECT_TRUE(f.timer.running());
}

TEST(TimeoutTimer, FiresAfterTheIntervalAndAgainAfterTheNext) {
    TimerFixture f;
    f.bind();
    f.timer.setInterval(200);
    f.advance(199);
    EXPECT_EQ(f.ticks, 0);
    EXPECT_EQ(f.timer.msUntilDue(), 1);
    f.advance(1);
    EXPECT_EQ(f.ticks, 1);
    f.advance(199);
    EXPECT_EQ(f.ticks, 1);
    f.advance(1);
    EXPECT_EQ(f.ticks, 2);
}

TEST(TimeoutTimer, DoesNotRunWhenDisabledOrWithIntervalZero) {
    const struct {
        const char* name;
        bool enabled;
        std::uint32_t interval;
    } rows[] = {{"disabled", false, 100}, {"interval 0", true, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TimerFixture f;
        f.bind();
        f.timer.setInterval(row.interval);
        f.timer.setEnabled(row.enabled);
        EXPECT_EQ(f.timer.msUntilDue(), -1);
        f.advance(10000);
        EXPECT_EQ(f.ticks, 0);
    }
}

TEST(TimeoutTimer, EnablingAgainCountsTheIntervalFromThen) {
    TimerFixture f;
    f.bind();
    f.timer.setInterval(100);
    f.advance(90);
    f.timer.setEnabled(true);  // a time-out restarted by each received piece
    f.advance(90);
    EXPECT_EQ(f.ticks, 0);
    f.advance(10);
    EXPECT_EQ(f.ticks, 1);
}

TEST(TimeoutTimer, AHandlerMaySwitchItsTimerOff) {
    TimerFixture f;
    f.timer.setInterval(10);
    f.timer.setOnTimer([&f](TimeoutTimer& t) {
        ++f.ticks;
        t.setEnabled(false);
    });
    f.advance(10);
    f.advance(10);
    EXPECT_EQ(f.ticks, 1);
    EXPECT_FALSE(f.timer.running());
}

}  // namespace
}  // namespace corvalo::net
