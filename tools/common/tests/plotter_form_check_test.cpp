// Which drawings the plain reading takes as a plotter would, and where it parts
// from one: the exporter's own form passes whole, any piece boundary included.
#include "plotter_form_check.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What was found, "" for none, fed one byte at a time to cross every boundary.
std::string Scan(const std::string& drawing, uint64_t* offset = nullptr) {
    PlotterFormScan scan;
    for (const char c : drawing) scan.Feed({&c, 1});
    scan.End();
    if (offset != nullptr) *offset = scan.offset();
    return scan.what();
}

TEST(PlotterFormCheck, ExporterFormPasses) {
    for (const char* drawing :
         {"IN;SP1;PU7680,0;PD7742,6;\nPD-5,+6;PU0,0;", "IN;U240,40;D20,40;U0,0;@;@;@;",
          "IN;PD5,5;PU0,0;", "IN;PU 10 , 20;PD10,20;VS32;SP0;PA;LBtext\003PU0,0;",
          "PU10.0,20;PD1,2;"})
        EXPECT_EQ(Scan(drawing), "") << drawing;
}

TEST(PlotterFormCheck, PlotterOnlyFormsFoundWhereTheyStart) {
    struct Case {
        const char* drawing;
        uint64_t offset;
        const char* what;
    };
    const Case cases[] = {
        {"IN;SP1;PU0,0;\nPD0,200,200,200,200,0,0,0;", 14,
         "PD0,200,200,200,200,... with 4 coordinate pairs, which the plain reading takes for one "
         "point"},
        {"PU0,0;pd10,10;", 6, "a pen command in lower case (pd), which the plain reading skips"},
        {"PU0,0;PD1.5,2;", 6,
         "PD1.5,2 with decimals, which the plain reading cuts off at the point"},
        {"PU0,0;PD10 20;", 6,
         "PD10 20 with its x and y apart by a blank, which the plain reading takes for x"},
        {"PU0,0;PD;", 6, "PD without coordinates, which the plain reading takes for a cut to 0,0"},
        {"PU0,0;PD5;", 6, "PD5 with an x but no y"},
        {"PU0,0PD5,5;", 0, "PU0,0 without its ';', which the plain reading needs"},
        {"PU0,0;CI100;", 6, "CI with parameters, which the plain reading skips"},
        {"PU0,0;sc0,10,0,10;", 6, "SC with parameters, which the plain reading skips"},
        {"PU0,0;PR;PD5,5;", 6, "PR, which the plain reading skips"},
        {"PU0,0;PM0;", 6, "PM, which the plain reading skips"},
        {"PU0,0;DF;", 6, "DF, which the plain reading takes for a pen command"},
        {"PU0,0;LBUSA\003", 6,
         "a label whose text holds 'U', which the plain reading takes for a pen command"},
        {"\033.M500:PU0,0;", 0, "a device escape (ESC), which the plain reading does not skip"},
    };
    for (const Case& c : cases) {
        uint64_t offset = 99;
        EXPECT_EQ(Scan(c.drawing, &offset), c.what) << c.drawing;
        EXPECT_EQ(offset, c.offset) << c.drawing;
    }
}

TEST(PlotterFormCheck, ManyPointsBeyondWhatIsKeptStillCount) {
    std::string drawing = "PU0,0;PD";
    for (int i = 0; i < 40; ++i) drawing += "1875,1779,";
    drawing += "0,0;";
    EXPECT_EQ(Scan(drawing),
              "PD1875,1779,1875,177... with many coordinate pairs, which the plain reading takes "
              "for one point");
}

}  // namespace
