// Decoding received streams: the square in both modes, pieces of any size, streams that break
// off, bad lines counted; the SVG picture, exact millimetres and the command line.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cut_summary.h"
#include "sim_options.h"
#include "stream_decoder.h"
#include "svg_picture.h"
#include "worked_square.h"

namespace {

CutSummary Decode(const std::string& stream, StrokeSink* sink = nullptr) {
    StreamDecoder decoder(sink);
    decoder.Feed(stream.data(), stream.size());
    decoder.EndOfStream();
    return decoder.summary();
}

class StrokeList : public StrokeSink {
public:
    void Stroke(const KnifeStroke& s) override { strokes.push_back(s); }
    std::vector<KnifeStroke> strokes;
};

const char* const kPortSquare = worked_square::kPlainPort;

TEST(StreamDecoder, PortSquareIsFourCutsOfFiveMillimetres) {
    EXPECT_EQ(FormatSummary(Decode(kPortSquare)),
              "bytes=70 header=CDR cuts=4 moves=1 cut_mm=20.000 "
              "bbox_mm=1.000,1.000,6.000,6.000 bad=0 complete");
}

TEST(StreamDecoder, FileModeSquareHasNoShift) {
    CutSummary s = Decode("IN;U240,40;D40,40;D40,240;D240,240;D240,40;U0,0;@;@;@;");
    EXPECT_EQ(s.header, StreamHeader::File);
    EXPECT_EQ(FormatSummary(s),
              "bytes=54 header=IN cuts=4 moves=1 cut_mm=20.000 "
              "bbox_mm=1.000,1.000,6.000,6.000 bad=0 complete");
    EXPECT_TRUE(s.Clean());
}

TEST(StreamDecoder, PiecesOfAnySizeDecodeAlike) {
    const std::string whole = FormatSummary(Decode(kPortSquare));
    for (size_t piece : {1u, 2u, 3u, 7u}) {
        StreamDecoder decoder;
        const std::string stream = kPortSquare;
        for (size_t at = 0; at < stream.size(); at += piece)
            decoder.Feed(stream.data() + at, std::min(piece, stream.size() - at));
        decoder.EndOfStream();
        EXPECT_EQ(FormatSummary(decoder.summary()), whole) << "piece " << piece;
    }
}

TEST(StreamDecoder, StreamThatBreaksOffIsIncomplete) {
    CutSummary noFooter = Decode("CDR;U2072,1564;D1872,1564;");
    EXPECT_FALSE(noFooter.complete);
    EXPECT_EQ(noFooter.badLines, 0u);
    EXPECT_EQ(noFooter.cuts, 1u);

    CutSummary halfFooter = Decode("CDR;U2072,1564;D1872,1564;U0,0;@;@;");
    EXPECT_FALSE(halfFooter.complete);
    EXPECT_EQ(halfFooter.badLines, 2u);

    CutSummary cutOffLine = Decode("CDR;U2072,1564;D18");
    EXPECT_FALSE(cutOffLine.complete);
    EXPECT_EQ(cutOffLine.badLines, 1u);
    EXPECT_FALSE(cutOffLine.Clean());

    EXPECT_FALSE(Decode("").complete);
}

TEST(StreamDecoder, HomeMoveWithoutFooterMarksIsAnOrdinaryMove) {
    CutSummary s = Decode("IN;U0,0;D40,0;U0,0;@;@;@;");
    EXPECT_EQ(s.moves, 1u);
    EXPECT_EQ(s.cuts, 1u);
    EXPECT_DOUBLE_EQ(s.cutLengthUnits, 40.0);
    EXPECT_TRUE(s.complete);
    // A broken footer does not hide the move.
    CutSummary broken = Decode("IN;U0,0;D40,0;");
    EXPECT_EQ(broken.moves, 1u);
    EXPECT_FALSE(broken.complete);
}

TEST(StreamDecoder, StopsTakingBytesAtTheFooter) {
    StreamDecoder decoder;
    const std::string stream = std::string(kPortSquare) + "D1,1;";
    EXPECT_EQ(decoder.Feed(stream.data(), stream.size()), 70u);
    EXPECT_TRUE(decoder.finished());
    EXPECT_EQ(decoder.Feed("D1,1;", 5), 0u);
    EXPECT_EQ(decoder.summary().bytes, 70u);
    EXPECT_EQ(decoder.summary().cuts, 4u);
}

TEST(StreamDecoder, LinesOutsideTheFormatAreCountedBad) {
    const char* bad[] = {
        "D1,2,3;",
        "D+1,2;",
        "D 1,2;",
        "D1, 2;",
        "d1,2;",
        "X;",
        "D1;",
        "D,1;",
        "D2147483648,1;",  // beyond %d of a 32-bit int
        "D1,2\n;",
        "@;",    // a footer mark without the home move
        "CDR;",  // a header after the first line
        "D1111111111111111111111111111111111111111111111111111,2;",
    };
    for (const char* line : bad) {
        CutSummary s = Decode(std::string("IN;") + line + "D5,5;U0,0;@;@;@;");
        EXPECT_EQ(s.badLines, 1u) << line;
        EXPECT_EQ(s.cuts, 1u) << line;  // decoding goes on after a bad line
        EXPECT_TRUE(s.complete) << line;
        EXPECT_FALSE(s.Clean()) << line;
    }
    CutSummary limits = Decode("IN;D-2147483648,2147483647;U0,0;@;@;@;");
    EXPECT_EQ(limits.badLines, 0u);
    EXPECT_EQ(limits.box.minY, -2147483648LL);
    EXPECT_EQ(limits.box.maxX, 2147483647LL);
}

TEST(StreamDecoder, StreamWithoutHeaderIsNotClean) {
    CutSummary s = Decode("U240,40;D40,40;U0,0;@;@;@;");
    EXPECT_EQ(s.header, StreamHeader::None);
    EXPECT_TRUE(s.complete);
    EXPECT_FALSE(s.Clean());
    EXPECT_EQ(s.box.minX, 40);  // read without the port shift
}

TEST(StreamDecoder, StrokesStartAtTheFirstKnownPosition) {
    StrokeList list;
    Decode("IN;D40,40;U80,40;D80,80;U0,0;@;@;@;", &list);
    // The first line only places the knife: where it stood before is unknown.
    ASSERT_EQ(list.strokes.size(), 2u);
    EXPECT_FALSE(list.strokes[0].cut);
    EXPECT_EQ(list.strokes[0].from.x, 40);
    EXPECT_EQ(list.strokes[0].to.y, 80);
    EXPECT_TRUE(list.strokes[1].cut);
    EXPECT_EQ(list.strokes[1].to.x, 80);
    EXPECT_EQ(list.strokes[1].to.y, 80);
}

TEST(SvgPicture, CutsSolidMovesDashedInMillimetres) {
    SvgPicture picture;
    CutSummary s = Decode("IN;U40,40;D40,80;D80,80;U120,120;D160,120;U0,0;@;@;@;", &picture);
    std::ostringstream svg;
    picture.Write(svg, s.box);
    const std::string text = svg.str();
    EXPECT_NE(text.find("viewBox=\"0.000 0.000 4.000 5.000\""), std::string::npos) << text;
    // Consecutive cuts form one subpath; a move starts a new one.
    EXPECT_NE(text.find("d=\"M1.000 1.000L2.000 1.000L2.000 2.000M3.000 3.000L3.000 4.000\""),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("stroke-dasharray=\"0.5 0.5\" d=\"M2.000 2.000L3.000 3.000\""),
              std::string::npos)
        << text;
}

TEST(CutSummary, MillimetresAreExactForPlotterUnits) {
    EXPECT_EQ(UnitsToMm(0), "0.000");
    EXPECT_EQ(UnitsToMm(1), "0.025");
    EXPECT_EQ(UnitsToMm(-1), "-0.025");
    EXPECT_EQ(UnitsToMm(-1524), "-38.100");
    EXPECT_EQ(UnitsToMm(2147483647), "53687091.175");
    EXPECT_EQ(FormatSummary(CutSummary{}),
              "bytes=0 header=none cuts=0 moves=0 cut_mm=0.000 bbox_mm=none bad=0 incomplete");
}

TEST(SimOptions, ReadsEveryOptionAndRejectsBadValues) {
    const char* args[] = {"cutter-sim", "--baud", "38400", "--quiet-ms", "500",   "--svg",
                          "k.svg",      "--raw",  "k.raw", "--summary",  "k.txt", "/dev/pts/7"};
    SimOptions o;
    std::string problem;
    ASSERT_TRUE(ParseSimOptions(12, args, o, problem)) << problem;
    EXPECT_EQ(o.baud, 38400u);
    EXPECT_EQ(o.quietMs, 500);
    EXPECT_EQ(o.firstByteMs, -1);
    EXPECT_EQ(o.svgPath, "k.svg");
    EXPECT_EQ(o.input, "/dev/pts/7");

    const std::vector<std::vector<const char*>> wrong = {
        {"cutter-sim", "--baud", "fast"},
        {"cutter-sim", "--baud", "0"},
        {"cutter-sim", "--quiet-ms", "-1"},
        {"cutter-sim", "--svg"},
        {"cutter-sim", "--speed", "1"},
        {"cutter-sim", "a", "b"},
        {"cutter-sim", "--hold-ms", "5"},
        {"cutter-sim", "--hold-after", "1,2", "--hold-ms", "1,2,3"},
        {"cutter-sim", "--hold-after", "1,,2", "--hold-ms", "5"}};
    for (const auto& w : wrong) {
        SimOptions ignored;
        EXPECT_FALSE(ParseSimOptions(static_cast<int>(w.size()), w.data(), ignored, problem))
            << w[1];
    }
}

}  // namespace
