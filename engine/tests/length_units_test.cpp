// Length conversions round to nearest: stored hundredths survive many save-and-load rounds,
// plotter units come out right, and huge values stop at the int32 ends.
#include "engine/length_units.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

TEST(StoredLengths, AreHundredthsOfAMillimetreRoundedToNearest) {
    EXPECT_EQ(MillimetresToHundredths(0.25f), 25);
    EXPECT_EQ(MillimetresToHundredths(1.5f), 150);
    // 0.7f lies just below 0.7; truncation would give 69.
    EXPECT_EQ(MillimetresToHundredths(0.7f), 70);
    EXPECT_EQ(MillimetresToHundredths(-0.5f), -50);
    EXPECT_EQ(MillimetresToHundredths(0.0f), 0);
}

TEST(StoredLengths, LoadAsMillimetres) {
    EXPECT_EQ(HundredthsToMillimetres(25), 0.25f);
    EXPECT_EQ(HundredthsToMillimetres(-50), -0.5f);
    EXPECT_EQ(HundredthsToMillimetres(70), 0.7f);
}

TEST(StoredLengths, SurviveManySaveAndLoadRounds) {
    for (float entered : {0.7f, 0.69f, 0.25f, 1.3f, 2.01f, -0.07f}) {
        float value = entered;
        for (int round = 0; round < 100; ++round) {
            value = HundredthsToMillimetres(MillimetresToHundredths(value));
        }
        EXPECT_EQ(value, entered);
    }
}

TEST(JobLengths, ArePlotterUnitsRoundedToNearest) {
    EXPECT_EQ(MillimetresToPlotterUnits(0.25f), 10);
    EXPECT_EQ(MillimetresToPlotterUnits(0.7f), 28);
    EXPECT_EQ(MillimetresToPlotterUnits(0.5f), 20);
    EXPECT_EQ(MillimetresToPlotterUnits(7.5f), 300);
    EXPECT_EQ(MillimetresToPlotterUnits(-0.25f), -10);
    EXPECT_EQ(MillimetresToPlotterUnits(0.0f), 0);
}

TEST(Lengths, BeyondThirtyTwoBitsStopAtTheEnds) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(MillimetresToHundredths(1e30f), kMax);
    EXPECT_EQ(MillimetresToHundredths(-1e30f), kMin);
    EXPECT_EQ(MillimetresToPlotterUnits(1e30f), kMax);
    EXPECT_EQ(MillimetresToPlotterUnits(-1e30f), kMin);
}
