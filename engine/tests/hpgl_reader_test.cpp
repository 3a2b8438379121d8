#include <gtest/gtest.h>

#include "hpgl_reader.h"

namespace {

// The worked square as our exporter writes it, one pen command per point.
constexpr char kSquarePenCommands[] = "IN;PU0,0;PD0,200;PD200,200;PD200,0;PD0,0;PU0,0;";

TEST(HpglReader, MultiPointSquareBecomesTheOnePointPerCommandSquare) {
    // Inkscape's manner: every point of the side in one PD, ';' between.
    const HpglReading multi = ReadHpgl("IN;SP1;PU0,0;PD0,200,200,200,200,0,0,0;PU0,0;");
    EXPECT_EQ(multi.penCommands, kSquarePenCommands);
    EXPECT_EQ(multi.points, 6u);
    EXPECT_EQ(multi.SkippedCount(), 0u);
    // Our own files read the same: the default reading and this one agree.
    EXPECT_EQ(ReadHpgl(kSquarePenCommands).penCommands, kSquarePenCommands);
}

TEST(HpglReader, OtherProgramsFilesGiveTheirPointsAndCountWhatIsSkipped) {
    const HpglReading r = ReadHpgl(
        "IN;DF;VS10;\r\n"
        "PU;PA100,100;PD;\n"  // bare pen commands only lift and lower
        "PR50,0 0,50;\n"      // relative, blank between pairs
        "PA 100 , 150 PU\n"   // no ';' before the next instruction
        "PU-20.6,7.4;"        // decimals round to the nearest unit
        "LBtext;with;semicolons\x03"
        "PD1,2,3;");  // a lone x has no point
    EXPECT_EQ(r.penCommands, "IN;PU100,100;PD150,100;PD150,150;PD100,150;PU-21,7;PD1,2;");
    EXPECT_EQ(r.SkippedText(), "LB 1, VS 1");  // DF only resets
    EXPECT_EQ(r.pointsDropped, 1u);
    // Relative moves add up exactly, then round; points beyond 32 bits drop.
    EXPECT_EQ(ReadHpgl("PR0.4,0,0.4,0;PA3e9,0;").penCommands, "IN;PU0,0;PU1,0;");
}

TEST(HpglReader, ArcsAndPolygonsAreCutAsAPlotterDrawsThem) {
    // An arc as chords of its tolerance; a polygon once, closed, though both filled and edged.
    EXPECT_EQ(ReadHpgl("PU100,0;PD;AA0,0,180,90;").penCommands, "IN;PU100,0;PD0,100;PD-100,0;");
    EXPECT_EQ(ReadHpgl("PU0,0;PM0;PD10,0,10,10;PM2;FP;EP;").penCommands,
              "IN;PU0,0;PD10,0;PD10,10;PD0,0;");
}

}  // namespace
