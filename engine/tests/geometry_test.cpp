// The cutter's arithmetic against its tables: truncated distances, offset vectors and corner
// angles, and the angle limit deciding exactly as the computed angle does.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>

#include "engine/geometry.h"

namespace {

Pos_xyz P(int32_t x, int32_t y, uint8_t pen = 0) {
    return Pos_xyz{x, y, pen};
}

TEST(PointDistance, TruncatesTheRealDistance) {
    EXPECT_EQ(PointDistance(P(0, 0), P(30, 40)), 50);
    EXPECT_EQ(PointDistance(P(0, 0), P(-3, -4)), 5);
    EXPECT_EQ(PointDistance(P(0, 0), P(1, 1)), 1);
    EXPECT_EQ(PointDistance(P(0, 0), P(2, 3)), 3);
    EXPECT_EQ(PointDistance(P(7, 7, 0), P(7, 7, 1)), 0);
}

TEST(PointDistance, DistanceAboveAgreesWithTheTruncatedDistance) {
    for (int32_t units : {0, 1, 40, 1000}) {
        for (int32_t dx = -1100; dx <= 1100; dx += dx > -60 && dx < 60 ? 1 : 37) {
            for (int32_t dy = -1100; dy <= 1100; dy += dy > -60 && dy < 60 ? 1 : 41) {
                const Pos_xyz a{7, -3, 0}, b{7 + dx, -3 + dy, 0};
                ASSERT_EQ(DistanceAbove(a, b, units), PointDistance(a, b) > units) << dx << dy;
            }
        }
    }
    // Differences that wrap in 32 bits.
    EXPECT_TRUE(DistanceAbove(P(INT32_MIN, 0), P(INT32_MAX, 0), 40) == false);
    EXPECT_TRUE(DistanceAbove(P(INT32_MIN, 0), P(0, 0), 40));
}

TEST(OffsetVector, MatchesTheCuttersTable) {
    struct Row {
        int32_t length;
        Pos_xyz toward;
        int32_t x, y;
    };
    const Row rows[] = {
        {10, P(30, 40), 6, 8},   {10, P(40, 30), 8, 6},     {10, P(-30, 40), -6, 8},
        {10, P(30, -40), 6, -8}, {10, P(-30, -40), -6, -8}, {10, P(0, 50), 0, 10},
        {10, P(0, -50), 0, -10}, {10, P(50, 0), 10, 0},     {10, P(-50, 0), -10, 0},
        {10, P(0, 0), 0, -10},   {10, P(1, 1), 7, 7},       {10, P(3, 1), 9, 3},
        {10, P(100, 1), 9, 0},   {12, P(5, -12), 4, -9},    {13, P(5, 12), 5, 12},
        {20, P(1, 2), 8, 16},    {20, P(2, 1), 17, 8},      {20, P(3, 4), 12, 16},
        {40, P(1, 1), 28, 28},   {0, P(1, 1), 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "length " << r.length << " toward (" << r.toward.x
                                        << ", " << r.toward.y << ")");
        Pos_xyz v = OffsetVector(r.length, P(0, 0), r.toward);
        EXPECT_EQ(v.x, r.x);
        EXPECT_EQ(v.y, r.y);
        // A displacement: the same from any start, with the target moved alike.
        Pos_xyz moved =
            OffsetVector(r.length, P(1000, -500), P(r.toward.x + 1000, r.toward.y - 500));
        EXPECT_EQ(moved.x, r.x);
        EXPECT_EQ(moved.y, r.y);
    }
}

TEST(OffsetVector, LengthsBeyondThe32BitSquareStayExact) {
    // 46341 squared does not fit in 32 bits; the 64-bit square keeps it exact.
    Pos_xyz v = OffsetVector(46341, P(0, 0), P(3, 4));
    EXPECT_EQ(v.x, 27804);
    EXPECT_EQ(v.y, 37072);
    v = OffsetVector(2000000000, P(0, 0), P(-1, 0));
    EXPECT_EQ(v.x, -2000000000);
    v = OffsetVector(INT32_MIN, P(0, 0), P(0, -1));
    EXPECT_EQ(v.y, INT32_MIN);  // wraps in 32 bits, without overflow
}

TEST(CornerAngle, MatchesTheCuttersTable) {
    const Pos_xyz a = P(0, 0), b = P(100, 0);
    EXPECT_DOUBLE_EQ(CornerAngle(a, b, P(100, 100)), 90.00007601981207);
    EXPECT_DOUBLE_EQ(CornerAngle(a, b, P(100, -100)), 90.00007601981207);
    EXPECT_DOUBLE_EQ(CornerAngle(a, b, P(0, 100)), 45.00003800990604);
    EXPECT_DOUBLE_EQ(CornerAngle(a, b, P(200, 100)), 135.0001140297181);
    EXPECT_DOUBLE_EQ(CornerAngle(a, b, P(182, 57)), 145.19611088919498);
    EXPECT_DOUBLE_EQ(CornerAngle(a, b, P(18, 57)), 34.80404115042912);
    EXPECT_EQ(CornerAngle(a, b, P(200, 0)), 180.0);
    EXPECT_EQ(CornerAngle(a, b, P(0, 0)), 0.0);
}

TEST(CornerAngle, ZeroLengthLegIsNotANumber) {
    EXPECT_TRUE(std::isnan(CornerAngle(P(0, 0), P(0, 0), P(5, 5))));
    EXPECT_TRUE(std::isnan(CornerAngle(P(0, 0), P(5, 5), P(5, 5))));
}

TEST(CornerAngle, RoundingPastACompleteReversalCountsAsZero) {
    // The cosine comes out one unit in the last place above 1 here.
    EXPECT_EQ(CornerAngle(P(2308, 10918), P(2358, 10873), P(2338, 10891)), 0.0);
}

}  // namespace

namespace {

// The sharp-corner test skips the arc cosine where it can; it must decide
// exactly as the angle itself, near the limit above all.
TEST(AngleLimit, DecidesExactlyAsTheAngle) {
    const AngleLimit limit(145.0);
    std::mt19937 rng(3);
    std::uniform_int_distribution<int32_t> coord(-3000, 3000);
    for (int i = 0; i < 200000; ++i) {
        const Pos_xyz a{coord(rng), coord(rng), 0}, b{coord(rng), coord(rng), 0},
            c{coord(rng), coord(rng), 0};
        ASSERT_EQ(limit.Below(a, b, c), CornerAngle(a, b, c) < 145.0);
    }
    // A sweep across the limit itself, in steps far finer than a plotter unit.
    int below = 0, notBelow = 0;
    for (int step = -20000; step <= 20000; ++step) {
        const double turn = (145.0 + step * 1e-6) * 3.141592653589793 / 180.0;
        const Pos_xyz b{0, 0, 0}, a{1000, 0, 0},
            c{static_cast<int32_t>(1e9 * std::cos(turn)),
              static_cast<int32_t>(1e9 * std::sin(turn)), 0};
        const bool exact = CornerAngle(a, b, c) < 145.0;
        ASSERT_EQ(limit.Below(a, b, c), exact) << step;
        (exact ? below : notBelow)++;
    }
    EXPECT_GT(below, 1000);
    EXPECT_GT(notBelow, 1000);
    // A patch of points one plotter unit apart around the limit, with legs of
    // equal length, 1e5 and 1e8 times apart: the true cosine comes within 1e-9
    // of the limit's, and with the most unequal legs the computed one strays
    // further from it than that.
    for (const auto& [far, near] : {std::pair{1e8, 1e8}, {9e7, 900.0}, {2e8, 2.0}}) {
        const Pos_xyz b{5, -7, 0}, a{5 + static_cast<int32_t>(near), -7, 0};
        const double turn = 145.0 * kCutterPi / 180.0;
        const auto cx = static_cast<int32_t>(far * std::cos(turn));
        const auto cy = static_cast<int32_t>(far * std::sin(turn));
        int sharp = 0;
        for (int32_t dx = -60; dx <= 60; ++dx) {
            for (int32_t dy = -60; dy <= 60; ++dy) {
                const Pos_xyz c{5 + cx + dx, -7 + cy + dy, 0};
                const bool exact = CornerAngle(a, b, c) < 145.0;
                ASSERT_EQ(limit.Below(a, b, c), exact) << far << " " << dx << " " << dy;
                sharp += exact;
            }
        }
        EXPECT_GT(sharp, 1000);
        EXPECT_LT(sharp, 121 * 121 - 1000);
    }
    // The table's corners, a reversal, and a zero-length leg.
    EXPECT_FALSE(limit.Below(Pos_xyz{0, 0, 0}, Pos_xyz{100, 0, 0}, Pos_xyz{182, 57, 0}));
    EXPECT_TRUE(limit.Below(Pos_xyz{0, 0, 0}, Pos_xyz{100, 0, 0}, Pos_xyz{200, 100, 0}));
    EXPECT_TRUE(
        limit.Below(Pos_xyz{2308, 10918, 0}, Pos_xyz{2358, 10873, 0}, Pos_xyz{2338, 10891, 0}));
    EXPECT_FALSE(limit.Below(Pos_xyz{0, 0, 0}, Pos_xyz{0, 0, 0}, Pos_xyz{5, 5, 0}));
    EXPECT_FALSE(limit.Below(Pos_xyz{0, 0, 0}, Pos_xyz{100, 0, 0}, Pos_xyz{200, 0, 0}));
}

}  // namespace
