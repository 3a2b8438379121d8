// The knife corrections on small drawings: offset moves at sharp corners only, the 1 mm entry
// rule, overcut replayed on closed contours only, and huge lengths staying defined.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

const std::string kSquare = worked_square::kPlot;

// File-mode output without the header "IN;" and the footer.
std::string Lines(const std::string& input, int32_t offset, int32_t overcut = 0) {
    std::string out = Convert(input, offset, overcut);
    EXPECT_EQ(out.substr(0, 3), "IN;");
    EXPECT_EQ(out.substr(out.size() - 11), "U0,0;@;@;@;");
    return out.substr(3, out.size() - 3 - 11);
}

TEST(PlainContours, SquareInBothModes) {
    EXPECT_EQ(Convert(kSquare), worked_square::kPlainFile);
    EXPECT_EQ(Convert(kSquare, 0, 0, true), worked_square::kPlainPort);
}

TEST(PlainContours, RunsOfPenUpPointsAndSingleCuts) {
    EXPECT_EQ(Lines("PU0,0;PD0,200;", 20, 300), "U240,40;D40,40;");
    EXPECT_EQ(Lines("PU0,0;PU50,50;PU0,200;PD100,200;", 0), "U40,40;D40,140;");
    EXPECT_EQ(Lines("PU0,0;PD0,200;PD200,200;PU500,500;", 0), "U540,40;D340,40;D340,240;");
    EXPECT_EQ(Lines("PU0,0;PU5,5;", 20), "");
}

TEST(CornerCompensation, WorkedExampleInBothModes) {
    using namespace worked_square;
    EXPECT_EQ(Convert(kSquare, kOffsetUnits, kOvercutUnits), kCompensatedFile);
    EXPECT_EQ(Convert(kSquare, kOffsetUnits, kOvercutUnits, true), kCompensatedPort);
}

TEST(CornerCompensation, OffsetWithoutOvercutDropsTheReplay) {
    EXPECT_EQ(Lines(kSquare, 20),
              "U240,40;D20,40;D40,60;D40,260;D60,240;D260,240;D240,220;D240,20;D230,41;");
}

TEST(CornerCompensation, WideCornerIsCutPlainAndOpenEndTurnsBack) {
    // About 150 degrees: not sharp. The open end still turns toward the second point.
    EXPECT_EQ(Lines("PU0,0;PD0,400;PD200,746;", 20), "U786,40;D386,40;D23,250;D57,230;");
    EXPECT_EQ(Lines("PU0,0;PD0,200;PD200,200;", 20), "U240,40;D20,40;D40,60;D40,260;D40,220;");
}

TEST(CornerCompensation, EntryMustBeLongerThanOneMillimetre) {
    EXPECT_EQ(Lines("PU0,0;PD0,40;PD200,40;PD200,400;", 20),
              "U440,40;D400,40;D400,260;D380,240;D20,240;D56,231;");
}

TEST(CornerCompensation, EntryAfterASharpCornerStartsAtItsSecondOffsetPoint) {
    EXPECT_EQ(Lines("PU0,0;PD0,400;PD60,400;PD60,0;", 20),
              "U440,40;D20,40;D40,60;D40,100;D460,100;D430,99;");
    EXPECT_EQ(Lines("PU0,0;PD0,400;PD61,400;PD61,0;", 20),
              "U440,40;D20,40;D40,60;D40,121;D60,101;D460,101;D421,99;");
}

TEST(Overcut, ReplaysTheFirstStretchOfAClosedContour) {
    EXPECT_EQ(Lines(kSquare, 0, 300), "U240,40;D40,40;D40,240;D240,240;D240,40;D40,40;D40,140;");
    // A plain corner that meets the length exactly is recorded once more.
    EXPECT_EQ(Lines(kSquare, 0, 200), "U240,40;D40,40;D40,240;D240,240;D240,40;D40,40;D40,40;");
}

TEST(Overcut, EndingExactlyAtASharpCornerStopsThere) {
    // The first corner's offset pair: 220 to its first point, 20 to its second.
    // Whether the length ends at the first point (220) or at the second (240),
    // the pair is replayed whole and nothing of the next corner follows.
    const std::string body =
        "U240,40;D20,40;D40,60;D40,260;D60,240;D260,240;D240,220;D240,20;D230,41;";
    EXPECT_EQ(Lines(kSquare, 20, 220), body + "D20,40;D40,60;");
    EXPECT_EQ(Lines(kSquare, 20, 240), body + "D20,40;D40,60;");
}

TEST(Overcut, ClosedDependsOnlyOnTheLastPenDownPoint) {
    const std::string shifted = "PU0,0;PD0,200;PD200,200;PD200,0;PD0,0;PU500,500;";
    EXPECT_EQ(Lines(shifted, 0, 300),
              "U540,40;D340,40;D340,240;D540,240;D540,40;D340,40;D340,140;");
    // An open contour is never replayed; nor is anything with no overcut length.
    EXPECT_EQ(Lines("PU0,0;PD0,200;PD200,200;PD200,0;", 0, 300),
              "U240,40;D40,40;D40,240;D240,240;");
    EXPECT_EQ(Lines(kSquare, 0, -5), "U240,40;D40,40;D40,240;D240,240;D240,40;");
}

TEST(CornerCompensation, PenDownBeforeAnyPenUpStartsTheContourThere) {
    // The knife moves to the first point and cuts on from there: no line is
    // ever written at a place that no command set.
    EXPECT_EQ(Lines("PD0,0;PD0,200;PD200,200;", 0), "U240,40;D40,40;D40,240;");
    EXPECT_EQ(Lines("PD0,0;PD0,200;", 20, 300), "U240,40;D40,40;");
    EXPECT_EQ(Lines("PD0,0;", 20), "");
}

TEST(CornerCompensation, ReversalIsSharp) {
    // Maps to a = (2308, 10918), b = (2358, 10873), c = (2338, 10891): at b the
    // path turns back almost exactly on itself and rounding puts the cosine one
    // unit above 1. The sharpest corner there is still gets its offset moves.
    const std::string reversal = "PU0,20000;PU2268,9122;PD2318,9167;PD2298,9149;";
    EXPECT_EQ(Lines(reversal, 20), "U10918,2308;D10861,2372;D10885,2344;D10891,2338;");
    EXPECT_EQ(Lines(reversal, 0), "U10918,2308;D10873,2358;D10891,2338;");
}

TEST(CornerCompensation, HugeLengthsStayDefined) {
    // Far beyond any real knife: computed in 64 bits, wrapped where the cutter
    // arithmetic is 32-bit, never undefined.
    std::string out = Lines(kSquare, 2000000000, 2000000000);
    EXPECT_EQ(out.substr(0, 8), "U240,40;");
    out = Lines("PU-2147483648,2147483647;PD2147483647,-2147483648;PD0,0;PD-5,7;", INT32_MAX,
                INT32_MAX);
    EXPECT_FALSE(out.empty());
}

}  // namespace
