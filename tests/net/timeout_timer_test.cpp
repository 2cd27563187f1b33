#include "net/timeout_timer.h"

#include <gtest/gtest.h>

#include "net/test_pump.h"

namespace corvalo::net {
namespace {

class TimeoutTimerTest : public ::testing::Test {
  protected:
    void bind() {
        timer.setOnTimer([this](TimeoutTimer&) { ++ticks; });
    }
    void advance(std::int64_t ms) {
        clock.now += ms;
        timer.poll();
    }

    corvalo::testing::FakeClock clock;
    TimeoutTimer timer{clock};
    int ticks = 0;
};

TEST_F(TimeoutTimerTest, RunsOnceBoundAndFiresEachIntervalCountedFromTheLastStart) {
    EXPECT_TRUE(timer.enabled());
    EXPECT_FALSE(timer.running());
    advance(5000);
    bind();
    EXPECT_TRUE(timer.running());
    advance(999);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(timer.msUntilDue(), 1);
    advance(1);
    EXPECT_EQ(ticks, 1);
    advance(999);
    EXPECT_EQ(ticks, 1);
    advance(1);
    EXPECT_EQ(ticks, 2);
    timer.setInterval(100);
    advance(90);
    timer.setEnabled(true);  // a time-out restarted by each received piece
    advance(90);
    EXPECT_EQ(ticks, 2);
    advance(10);
    EXPECT_EQ(ticks, 3);
}

TEST_F(TimeoutTimerTest, DoesNotRunWhenDisabledOrWithIntervalZero) {
    const struct {
        const char* name;
        bool enabled;
        std::uint32_t interval;
    } rows[] = {{"disabled", false, 100}, {"interval 0", true, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        bind();
        timer.setInterval(row.interval);
        timer.setEnabled(row.enabled);
        EXPECT_EQ(timer.msUntilDue(), -1);
        advance(10000);
        EXPECT_EQ(ticks, 0);
    }
}

TEST_F(TimeoutTimerTest, AHandlerMaySwitchItsTimerOff) {
    timer.setInterval(10);
    timer.setOnTimer([this](TimeoutTimer& t) {
        ++ticks;
        t.setEnabled(false);
    });
    advance(10);
    advance(10);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.running());
}

}  // namespace
}  // namespace corvalo::net
