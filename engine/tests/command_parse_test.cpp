// Reading a command's numbers by atol's rules (fractions dropped, int32 saturation, no ','
// reads Y as 0) and mapping points into the cutter's frame by the drawing's extent.
#include <gtest/gtest.h>

#include "engine/command_parse.h"

namespace {

void ExpectPoint(Pos_xyz p, int32_t x, int32_t y, int pen) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.pen, pen);
}

PlotExtent ScanAll(std::initializer_list<const char*> commands) {
    PlotExtent extent;
    for (const char* c : commands) ScanExtent(c, extent);
    return extent;
}

TEST(CommandParse, FourCommandFileMapsIntoTheCutterFrame) {
    PlotExtent e = ScanAll({"U100,200;", "D300,50;", "D-20,400;", "U 7, 8;"});
    EXPECT_EQ(e.minX, -20);
    EXPECT_EQ(e.maxY, 400);
    ExpectPoint(ParsePoint("U100,200;", e), 160, 240, 0);
    ExpectPoint(ParsePoint("D300,50;", e), 360, 390, 1);
    ExpectPoint(ParsePoint("D-20,400;", e), 40, 40, 1);
    ExpectPoint(ParsePoint("U 7, 8;", e), 67, 432, 0);
    // Missing and extra numbers read by atol's rules.
    ExpectPoint(ParsePoint("D,5;", e), 60, 435, 1);
    ExpectPoint(ParsePoint("D5,;", e), 65, 440, 1);
    ExpectPoint(ParsePoint("D1,2,3;", e), 61, 438, 1);
}

TEST(CommandParse, ReadingFollowsAtolRules) {
    PlotExtent zero{true, 0, 0};
    Pos_xyz p = ParsePoint("D5,6\r\n;", zero);
    EXPECT_EQ(p.x, 45);
    EXPECT_EQ(p.y, 34);
    // Fractions are dropped whole, never rounded up.
    CommandNumbers n = ReadCommandNumbers("D100.7,200.9;");
    EXPECT_EQ(n.x, 100);
    EXPECT_EQ(n.y, 200);
    n = ReadCommandNumbers("D-3.7,+12x;");
    EXPECT_EQ(n.x, -3);
    EXPECT_EQ(n.y, 12);
    n = ReadCommandNumbers("D \t\v\f-44,\n 9;");
    EXPECT_EQ(n.x, -44);
    EXPECT_EQ(n.y, 9);
    n = ReadCommandNumbers("Dab,- 5;");
    EXPECT_EQ(n.x, 0);
    EXPECT_EQ(n.y, 0);
}

TEST(CommandParse, CommandWithoutCommaReadsSecondNumberAsZero) {
    CommandNumbers n = ReadCommandNumbers("D123;");
    EXPECT_EQ(n.x, 123);
    EXPECT_EQ(n.y, 0);
    // The search for "," never leaves the command.
    char buffer[] = "U5;\0,7;";
    n = ReadCommandNumbers(buffer);
    EXPECT_EQ(n.x, 5);
    EXPECT_EQ(n.y, 0);
}

TEST(CommandParse, NumbersBeyondInt32Saturate) {
    CommandNumbers n = ReadCommandNumbers("D99999999999999999999,-99999999999;");
    EXPECT_EQ(n.x, INT32_MAX);
    EXPECT_EQ(n.y, INT32_MIN);
    n = ReadCommandNumbers("D2147483647,-2147483648;");
    EXPECT_EQ(n.x, INT32_MAX);
    EXPECT_EQ(n.y, INT32_MIN);
    n = ReadCommandNumbers("D2147483648,-2147483649;");
    EXPECT_EQ(n.x, INT32_MAX);
    EXPECT_EQ(n.y, INT32_MIN);
}

TEST(CommandParse, LeadingZerosDoNotCountTowardSaturation) {
    CommandNumbers n = ReadCommandNumbers("D000000000000000000000000012,-0000000002147483648;");
    EXPECT_EQ(n.x, 12);
    EXPECT_EQ(n.y, INT32_MIN);
    n = ReadCommandNumbers("D4294967296,-4294967297;");
    EXPECT_EQ(n.x, INT32_MAX);
    EXPECT_EQ(n.y, INT32_MIN);
    n = ReadCommandNumbers("D99999999999999999999999999999;");
    EXPECT_EQ(n.x, INT32_MAX);
}

TEST(CommandParse, MappingWrapsIn32BitsWithoutOverflow) {
    PlotExtent e = ScanAll({"U-2147483648,-2147483648;", "D2147483647,2147483647;"});
    EXPECT_EQ(e.minX, INT32_MIN);
    EXPECT_EQ(e.maxY, INT32_MAX);
    // 2147483647 - (-2147483648) + 40 wraps to 39 in 32-bit arithmetic.
    ExpectPoint(ParsePoint("D2147483647,-2147483648;", e), 39, 39, 1);
}

TEST(PlotExtent, WidensOnlyOutwardAndKeepsEqualValues) {
    PlotExtent e = ScanAll({"D10,20;"});
    EXPECT_TRUE(e.seen);
    EXPECT_EQ(e.minX, 10);
    EXPECT_EQ(e.maxY, 20);
    ExpectPoint(ParsePoint("D10,20;", e), 40, 40, 1);
    ScanExtent("U10,20;", e);
    ScanExtent("U11,19;", e);
    EXPECT_EQ(e.minX, 10);
    EXPECT_EQ(e.maxY, 20);
}

TEST(PlotExtent, AllNegativeInput) {
    PlotExtent e = ScanAll({"U-500,-900;", "D-100,-200;"});
    EXPECT_EQ(e.minX, -500);
    EXPECT_EQ(e.maxY, -200);
    ExpectPoint(ParsePoint("U-500,-900;", e), 40, 740, 0);
    ExpectPoint(ParsePoint("D-100,-200;", e), 440, 40, 1);
}

TEST(PlotExtent, FirstCommandSetsTheExtentEvenWhereZeroWouldWin) {
    PlotExtent e;
    EXPECT_FALSE(e.seen);
    ScanExtent("D5,-5;", e);
    EXPECT_EQ(e.minX, 5);
    EXPECT_EQ(e.maxY, -5);
}

}  // namespace
