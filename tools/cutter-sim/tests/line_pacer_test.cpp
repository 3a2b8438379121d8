// Pacing reads at 38400 baud: 3840 bytes a second, no drift over many single bytes, and no
// credit for time the line stood idle.
#include <gtest/gtest.h>

#include "line_pacer.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;
using Clock = LinePacer::Clock;

TEST(LinePacer, ThirtyEightFourHundredBaudCarriesThirtyEightFortyBytesASecond) {
    EXPECT_EQ(LinePacer::BytesPerSecondAtBaud(38400), 3840u);
    LinePacer pacer(3840);
    const Clock::time_point t0 = Clock::now();
    pacer.Took(3840, t0);
    EXPECT_EQ(pacer.NextReadAt(), t0 + milliseconds(1000));
}

TEST(LinePacer, BusyLineKeepsItsScheduleWithoutDrift) {
    LinePacer pacer(3840);
    const Clock::time_point t0 = Clock::now();
    pacer.Took(1, t0);
    // Each byte takes 260416.66 ns; read exactly on schedule, 3840 single bytes
    // still end on the full second, not 3840 rounding errors later.
    for (int i = 1; i < 3840; ++i) pacer.Took(1, pacer.NextReadAt());
    EXPECT_EQ(pacer.NextReadAt(), t0 + milliseconds(1000));
}

TEST(LinePacer, IdleLineEarnsNoCredit) {
    LinePacer pacer(3840);
    const Clock::time_point t0 = Clock::now();
    pacer.Took(32, t0);
    // Nothing came for five seconds: the next piece still takes its full time.
    const Clock::time_point later = t0 + milliseconds(5000);
    pacer.Took(32, later);
    EXPECT_EQ(pacer.NextReadAt(), later + nanoseconds(8333333));
}

}  // namespace
