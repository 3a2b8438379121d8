// When a look hands the plot file on: not before it has more than 10 bytes, and once it stops
// growing, after vanishing or shrinking too; huge sizes stay at the int32 top.
#include "plot_file_size_rule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

using Look = PlotFileLook;

TEST(PlotFileSizeRule, CompleteFileAtStartIsHandedOnOnTheSecondLook) {
    int32_t lastSize = 0;
    EXPECT_EQ(LookAtPlotFileSize(11, lastSize), Look::Growing);
    EXPECT_EQ(lastSize, 11);
    EXPECT_EQ(LookAtPlotFileSize(11, lastSize), Look::Complete);
}

TEST(PlotFileSizeRule, NothingCountsUntilTheFileHasMoreThanTenBytes) {
    int32_t lastSize = 0;
    for (int look = 0; look < 50; ++look) {
        EXPECT_EQ(LookAtPlotFileSize(std::nullopt, lastSize), Look::NotReady);
        EXPECT_EQ(LookAtPlotFileSize(0, lastSize), Look::NotReady);
        EXPECT_EQ(LookAtPlotFileSize(10, lastSize), Look::NotReady);
    }
    EXPECT_EQ(lastSize, 0);
}

TEST(PlotFileSizeRule, GrowthIsRecordedUntilALookSeesNoGrowth) {
    int32_t lastSize = 0;
    EXPECT_EQ(LookAtPlotFileSize(120, lastSize), Look::Growing);
    EXPECT_EQ(LookAtPlotFileSize(4096, lastSize), Look::Growing);
    EXPECT_EQ(LookAtPlotFileSize(4097, lastSize), Look::Growing);
    EXPECT_EQ(lastSize, 4097);
    EXPECT_EQ(LookAtPlotFileSize(4097, lastSize), Look::Complete);
}

TEST(PlotFileSizeRule, FileThatVanishesAndComesBackSmallerIsComplete) {
    int32_t lastSize = 0;
    EXPECT_EQ(LookAtPlotFileSize(5000, lastSize), Look::Growing);
    EXPECT_EQ(LookAtPlotFileSize(std::nullopt, lastSize), Look::NotReady);
    EXPECT_EQ(LookAtPlotFileSize(std::nullopt, lastSize), Look::NotReady);
    EXPECT_EQ(lastSize, 5000);
    EXPECT_EQ(LookAtPlotFileSize(3000, lastSize), Look::Complete);
}

TEST(PlotFileSizeRule, ShrinkingAboveTenBytesIsComplete) {
    int32_t lastSize = 0;
    EXPECT_EQ(LookAtPlotFileSize(5000, lastSize), Look::Growing);
    EXPECT_EQ(LookAtPlotFileSize(11, lastSize), Look::Complete);
}

TEST(PlotFileSizeRule, TruncationToTenBytesOrLessIsWaitedOut) {
    // An exporter that empties the file and writes it again: the rewrite is
    // complete once it stops, even though it is smaller than before.
    int32_t lastSize = 0;
    EXPECT_EQ(LookAtPlotFileSize(5000, lastSize), Look::Growing);
    EXPECT_EQ(LookAtPlotFileSize(0, lastSize), Look::NotReady);
    EXPECT_EQ(LookAtPlotFileSize(8000, lastSize), Look::Growing);
    EXPECT_EQ(LookAtPlotFileSize(8000, lastSize), Look::Complete);
}

TEST(PlotFileSize, SmallSizesAreTakenAsTheyAre) {
    EXPECT_EQ(PlotFileSizeFromParts(0, 0), 0);
    EXPECT_EQ(PlotFileSizeFromParts(0, 11), 11);
    EXPECT_EQ(PlotFileSizeFromParts(0, 0x7FFFFFFF), std::numeric_limits<int32_t>::max());
}

TEST(PlotFileSize, HugeSizesStayAtTheTopInsteadOfWrapping) {
    constexpr int32_t kTop = std::numeric_limits<int32_t>::max();
    // 2 GiB would turn negative, and 4 GiB + 11 would read as 11.
    EXPECT_EQ(PlotFileSizeFromParts(0, 0x80000000u), kTop);
    EXPECT_EQ(PlotFileSizeFromParts(1, 11), kTop);
    EXPECT_EQ(PlotFileSizeFromParts(0xFFFFFFFFu, 0xFFFFFFFFu), kTop);

    int32_t lastSize = 0;
    EXPECT_EQ(LookAtPlotFileSize(PlotFileSizeFromParts(1, 11), lastSize), PlotFileLook::Growing);
    EXPECT_EQ(LookAtPlotFileSize(PlotFileSizeFromParts(1, 11), lastSize), PlotFileLook::Complete);
}
