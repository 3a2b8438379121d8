// What has left the computer, against a simulated 38400-baud line: a driver
// queue that the line empties at 3840 bytes a second, with the cutter holding
// CTS for 3 s, and a virtual port that cannot tell its queue.
#include "line_tracker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

using Clock = LineTracker::Clock;
using std::chrono::milliseconds;

constexpr uint64_t kTotal = 100'000;
constexpr double kLine = 3840;
constexpr uint64_t kDriverQueue = 4096;
constexpr int kStepMs = 50;
constexpr double kHoldFrom = 10, kHoldTo = 13;

TEST(LineTracker, FollowsTheLineThroughAHold) {
    const Clock::time_point start{};
    LineTracker line(kTotal, start);
    uint64_t written = 0;
    double onLine = 0;  // bytes the line has carried
    double lastByteAt = 0;
    for (int ms = kStepMs; onLine < kTotal || !line.allLeft(); ms += kStepMs) {
        const double t = ms / 1000.0;
        const bool held = t > kHoldFrom && t <= kHoldTo;
        if (!held && onLine < static_cast<double>(written)) {
            onLine =
                std::min<double>(static_cast<double>(written), onLine + kLine * kStepMs / 1000);
            if (onLine >= kTotal) lastByteAt = t;
        }
        while (written < kTotal && written - static_cast<uint64_t>(onLine) + 1024 <= kDriverQueue)
            written += std::min<uint64_t>(1024, kTotal - written);
        const Clock::time_point now = start + milliseconds(ms);
        line.Written(written, now);
        line.Update(written - static_cast<uint64_t>(onLine),
                    held ? LineTracker::Cts::Held : LineTracker::Cts::Free, now);
        if (t > 5) {
            ASSERT_TRUE(line.rate().has_value()) << t;
            EXPECT_NEAR(*line.rate(), kLine, kLine * 0.05) << t;
        }
        EXPECT_EQ(line.holding(), held) << t;
        EXPECT_LT(line.secondsNothingTaken(now), held ? kHoldTo - kHoldFrom + 0.1 : 0.2) << t;
        ASSERT_LT(t, 60);
    }
    const double endsAt = std::chrono::duration<double>(line.lastLeft() - start).count();
    EXPECT_NEAR(endsAt, lastByteAt, 0.1);
}

TEST(LineTracker, VirtualPortNeverFasterThanTheLine) {
    const Clock::time_point start{};
    LineTracker line(kTotal, start);
    line.Written(40'000, start + milliseconds(1));  // its buffers take this much at once
    for (int ms = kStepMs; ms <= 12'000; ms += kStepMs) {
        const Clock::time_point now = start + milliseconds(ms);
        line.Update(std::nullopt, LineTracker::Cts::Unknown, now);
        EXPECT_LE(static_cast<double>(line.left()), kLine * ms / 1000 + 1) << ms;
        if (line.rate()) {
            EXPECT_NEAR(*line.rate(), kLine, kLine * 0.05);
        }
    }
    // Nothing more taken since: nobody reads the far end.
    EXPECT_GT(line.secondsNothingTaken(start + milliseconds(12'000)), 10);
    EXPECT_TRUE(line.holding());
}

TEST(LineTracker, TooShortAJobHasNoRate) {
    const Clock::time_point start{};
    LineTracker line(37, start);
    line.Written(37, start + milliseconds(1));
    line.Update(0, LineTracker::Cts::Free, start + milliseconds(20));
    EXPECT_TRUE(line.allLeft());
    EXPECT_FALSE(line.rate().has_value());
    EXPECT_FALSE(line.secondsLeft().has_value());
}

}  // namespace
