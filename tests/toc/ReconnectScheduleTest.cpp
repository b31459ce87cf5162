#include "support/QtPrinters.h"

#include "toc/ReconnectSchedule.h"
#include "toc/Reconnector.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;

struct ReconnectScheduleTest : ::testing::Test {
    Ms now {0};
    double jitter = 0;
    ReconnectSchedule schedule {[this] { return now; }, [this] { return jitter; }};

    std::vector<Ms> waits(int n, bool tooOften = false)
    {
        std::vector<Ms> result;
        for (int i = 0; i < n; ++i)
            result.push_back(schedule.lost(tooOften));
        return result;
    }
};

TEST_F(ReconnectScheduleTest, DoublesUpToFiveMinutesAndStartsOverOnlyAfterTenMinutesSignedOn)
{
    EXPECT_EQ(waits(12), (std::vector<Ms> {1s, 2s, 4s, 8s, 16s, 32s, 64s, 128s, 256s, 300s, 300s, 300s}));
    schedule.signedOn();
    now += 10min;
    EXPECT_EQ(waits(4), (std::vector<Ms> {1s, 2s, 4s, 8s}));
    schedule.signedOn();
    now += 10min - 1ms;
    EXPECT_EQ(schedule.lost(), 16s);
    // Signed on long ago, but the last connection never signed on.
    now += 1h;
    EXPECT_EQ(schedule.lost(), 32s);
}

TEST_F(ReconnectScheduleTest, TooOftenWaitsTenMinutesAndJitterOnlyStretchesByATenth)
{
    EXPECT_EQ(waits(2, true), (std::vector<Ms> {10min, 10min}));
    EXPECT_EQ(schedule.lost(), 4s);
    jitter = 0.999;
    EXPECT_EQ(schedule.lost(), 8s + 799ms);
    EXPECT_EQ(schedule.lost(true), 10min + 59940ms);
}

TEST(ReconnectWait, ReadsAsSecondsThenMinutes)
{
    EXPECT_EQ(Reconnector::describeWait(0ms), "1 s");
    EXPECT_EQ(Reconnector::describeWait(4400ms), "4 s");
    EXPECT_EQ(Reconnector::describeWait(59499ms), "59 s");
    EXPECT_EQ(Reconnector::describeWait(300s), "5 min");
    EXPECT_EQ(Reconnector::describeWait(10min + 23s), "10 min 23 s");
}

}  // namespace
