// The tools' words for an HPGL reading: why a file is not cut, and one line for
// each kind of thing left out.
#include <gtest/gtest.h>

#include "hpgl/reader.h"
#include "hpgl_report.h"

namespace {

TEST(HpglReport, ARefusalNamesWhatTheFileUsesAndNotesNameWhatWasLeftOut) {
    EXPECT_EQ(HpglRefusalText(ConvertHpgl("IN;PU0,0;PD10,10;WG5,0,90;PD20,20;").reading),
              "not cut: it uses WG (a filled wedge), which is not read, and the cut would not "
              "have the drawing's shape or size");
    EXPECT_EQ(HpglRefusalText(ConvertHpgl("IN;SC0,100,0,100;PD20,20;").reading),
              "not cut: SC without IP scales to the plotter's plotting area: give its size with "
              "--plot-area WIDTHxHEIGHT (mm)");
    EXPECT_EQ(HpglRefusalText(ConvertHpgl("IN;IR10,10,90,90;SC0,1,0,1;PD1,1;").reading),
              "not cut: IR places the drawing in the plotter's plotting area: give its size with "
              "--plot-area WIDTHxHEIGHT (mm)");
    EXPECT_EQ(HpglRefusalText(ConvertHpgl("IN;PD1e3,0;").reading),
              "not cut: PD at byte 3: 'e' at byte 6 is no number");
    EXPECT_EQ(HpglRefusalText(ConvertHpgl("IN;PU0,0;PD10,10;").reading), "");

    EXPECT_EQ(HpglNotes(ConvertHpgl("IN;#PU0,0;PD10,10;5;%;").reading),
              (std::vector<std::string>{
                  "skipped 2 characters that begin no instruction, the first '#' at byte 3",
                  "dropped 1 number after the end of an instruction"}));
    EXPECT_EQ(HpglNotes(ConvertHpgl("PU5000000000,0;PU-2000000000,0;PD0,0;PD2000000000,0;"
                                    "PD1000,-1,7;PD1,1;LB1\x03;")
                            .reading),
              (std::vector<std::string>{
                  "dropped 1 point outside the 32-bit range",
                  "dropped 1 point too far from the rest of the drawing for 32-bit plotter units",
                  "dropped 1 coordinate without a second one to pair with",
                  "1 label not cut: text must be turned into paths first (in Inkscape, Path > "
                  "Object to Path)"}));
}

}  // namespace
