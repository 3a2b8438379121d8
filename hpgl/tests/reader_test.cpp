// General HPGL read as one pen command per point: multi-point PD, bare PU/PD, PA/PR, long
// numbers, escapes, labels, rounding, and what it skips, drops or refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "hpgl/reader.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

// The worked square as our exporter writes it, one pen command per point.
constexpr char kSquarePenCommands[] = "IN;PU0,0;PD0,200;PD200,200;PD200,0;PD0,0;PU0,0;";

std::string PenCommands(std::string_view hpgl) {
    return ConvertHpgl(hpgl).penCommands;
}

TEST(HpglReader, MultiPointSquareBecomesTheOnePointPerCommandSquare) {
    // Inkscape's manner: every point of the side in one PD, ';' between.
    const HpglConversion multi = ConvertHpgl("IN;SP1;PU0,0;PD0,200,200,200,200,0,0,0;PU0,0;");
    EXPECT_EQ(multi.penCommands, kSquarePenCommands);
    EXPECT_EQ(multi.reading.points, 6u);
    EXPECT_EQ(multi.reading.SkippedCount(), 0u);
    // Our own files read the same: the default reading and this one agree.
    EXPECT_EQ(PenCommands(kSquarePenCommands), kSquarePenCommands);
}

TEST(HpglReader, OtherProgramsFilesGiveTheirPointsAndCountWhatIsSkipped) {
    const HpglConversion c = ConvertHpgl(
        "IN;DF;VS10;\r\n"
        "PU;PA100,100;PD;\n"  // bare pen commands only lift and lower
        "PR50,0 0,50;\n"      // relative, blank between pairs
        "PA 100 , 150 PU\n"   // no ';' before the next instruction
        "PU-20.6,7.4;"        // decimals round to the nearest unit
        "LBtext;with;semicolons\x03"
        "PD1,2,3;");  // a lone x has no point
    EXPECT_EQ(c.penCommands, "IN;PU100,100;PD150,100;PD150,150;PD100,150;PU-21,7;PD1,2;");
    EXPECT_EQ(c.reading.SkippedText(), "VS 1");  // DF only resets
    EXPECT_EQ(c.reading.labels, 1u);
    EXPECT_EQ(c.reading.unpairedCoordinates, 1u);
    // Relative moves add up exactly, then round.
    EXPECT_EQ(PenCommands("PR0.4,0,0.4,0;"), "IN;PU0,0;PU1,0;");
}

TEST(HpglReader, DtSetsTheLabelTerminator) {
    const HpglConversion c = ConvertHpgl("IN;DT#;PU10,10;PD20,20;LBab#PD30,10;");
    EXPECT_EQ(c.penCommands, "IN;PU10,10;PD20,20;PD30,10;");
    EXPECT_EQ(c.reading.labels, 1u);
    // IN brings back the default end of a label.
    EXPECT_EQ(PenCommands("DT#;IN;PU1,1;LBa#b\x03PD2,2;"), "IN;PU1,1;PD2,2;");
}

TEST(HpglReader, NumbersOfAnyLengthAreReadWhole) {
    const std::string zeros(60, '0');
    EXPECT_EQ(PenCommands("PU" + zeros + "7,5;PD-" + zeros + "1.5" + zeros + "1,0." + zeros),
              "IN;PU7,5;PD-2,0;");
    // Twelve digits are beyond 32 bits, however many zeros lead them.
    EXPECT_EQ(ConvertHpgl("PU" + zeros + "100000000000,0;").reading.pointsOutOfRange, 1u);
}

TEST(HpglReader, ACutStartsWhereInLeftThePen) {
    // At the start and after IN the pen stands up at the origin: the cut to
    // the first point starts there, so the engine is first taken there.
    EXPECT_EQ(PenCommands("IN;PD100,100,200,100;"), "IN;PU0,0;PD100,100;PD200,100;");
    EXPECT_EQ(PenCommands("PU5,5;PD6,6;IN;PR;PD1,1;"), "IN;PU5,5;PD6,6;PU0,0;PD1,1;");
    // A pen already at the origin needs no move.
    EXPECT_EQ(PenCommands("PU0,0;IN;PD1,1;"), "IN;PU0,0;PD1,1;");
}

TEST(HpglReader, DeviceEscapesAreSkippedWholeAndTheNextInstructionRead) {
    EXPECT_EQ(PenCommands("\x1b"
                          "E\x1b%0BIN;PU0,0;PD100,0;\x1b.M500:PD100,100;"
                          "\x1b.(PD0,100;\x1b*b3W;;;PD0,0;\x1b%0A\x1b"
                          "E"),
              "IN;PU0,0;PD100,0;PD100,100;PD0,100;PD0,0;");
}

TEST(HpglReader, AnInstructionChangingGeometryThatIsNotReadRefusesTheFile) {
    const HpglConversion c = ConvertHpgl("IN;PU0,0;PD10,10;WG5,0,90;PD20,20;");
    EXPECT_EQ(c.reading.refused, HpglRefusal::NotRead("WG"));
    EXPECT_EQ(c.penCommands, "IN;PU0,0;PD10,10;");  // reading stopped there
    // User units scaled to the plotter's own area need that area's size.
    EXPECT_EQ(ConvertHpgl("IN;SC0,100,0,100;PD20,20;").reading.refused,
              HpglRefusal::NeedsPlotArea("SC"));
    EXPECT_EQ(ConvertHpgl("IN;SC0,100,0,100;PD20,20;", HpglPoint{400, 400}).penCommands,
              "IN;PU0,0;PD80,80;");
    // Without parameters they keep plotter units: pstoedit writes "SC;".
    const HpglConversion plain = ConvertHpgl("IN;SC;IP;IW;RO0;PU1,1;PD2,2;");
    EXPECT_EQ(plain.penCommands, "IN;PU1,1;PD2,2;");
    EXPECT_EQ(plain.reading.SkippedText(), "");
}

TEST(HpglReader, WhatWouldBeLostIsRefusedOrCountedByName) {
    const auto refusal = [](std::string_view hpgl) {
        return ConvertHpgl(hpgl).reading.refused.why();
    };
    EXPECT_EQ(refusal("IN;PD10,10#,20,20;"), "PD at byte 3: '#' at byte 10 is no number");
    EXPECT_EQ(refusal("IN;PD1e3,0;"), "PD at byte 3: 'e' at byte 6 is no number");
    EXPECT_EQ(refusal("IN;PU;AA0,0,1" + std::string(400, '0') + ";"),
              "AA at byte 6: the number at byte 12 is beyond any coordinate or angle");
    EXPECT_EQ(refusal("IN;PE=???????????\xC2;"),
              "PE at byte 3: a number of more than 10 digits at byte 6");
    EXPECT_EQ(refusal("\x1b*b999999WIN;PU0,0;PD10,10;"),
              "the escape at byte 0 announces 999999 bytes of data, more than the rest of the "
              "file");
    EXPECT_EQ(refusal("IN;PU0,0;PD10,10;LBtext;PD20,20;"),
              "LB at byte 17: the label has no end (0x03) and takes in the rest of the file");
    // A page's end at the end of the file is no second page.
    EXPECT_EQ(refusal("IN;PU0,0;PD10,10;PG;PU20,0;PD30,10;"),
              "PG at byte 17 ends a page and more is drawn after it: the pages would be cut on "
              "top of each other");
    EXPECT_FALSE(ConvertHpgl("IN;FR;PU0,0;PD10,10;PG;").reading.refused);
    // Between instructions: counted, the first one named.
    const HpglConversion stray = ConvertHpgl("IN;#PU0,0;PD10,10;5;%;");
    EXPECT_EQ(stray.penCommands, "IN;PU0,0;PD10,10;");
    EXPECT_EQ(stray.reading.strayCharacters, 2u);
    EXPECT_EQ(stray.reading.FirstStrayText(), "'#' at byte 3");
    EXPECT_EQ(stray.reading.numbersOutside, 1u);
}

TEST(HpglReader, AnExactHalfRoundsAwayFromZero) {
    EXPECT_EQ(PenCommands("PU2.5,-2.5;PU0.5,-0.5;PU1.49,-1.51;"), "IN;PU3,-3;PU1,-1;PU1,-2;");
}

TEST(HpglReader, PointsTheEngineCannotMapAreDroppedAndCounted) {
    const HpglConversion c = ConvertHpgl(
        "PU5000000000,0;"              // beyond 32 bits
        "PU-2000000000,0;PD0,0;"       // kept
        "PD2000000000,0;PD1000,-1,7;"  // too far from the first point; then a lone x
        "PD1,1;");
    EXPECT_EQ(c.penCommands, "IN;PU-2000000000,0;PD0,0;PD1000,-1;PD1,1;");
    EXPECT_EQ(c.reading.pointsOutOfRange, 1u);
    EXPECT_EQ(c.reading.pointsTooFarApart, 1u);
    EXPECT_EQ(c.reading.unpairedCoordinates, 1u);
}

#ifndef _WIN32
// "PD", then `pairs` times "1,2,", then a number of `zeros` leading zeros.
class EndlessLookingDrawing : public ByteReader {
public:
    EndlessLookingDrawing(size_t pairs, size_t zeros) : pairs_(pairs), zeros_(zeros) {}
    SystemError ReadSome(uint8_t* data, size_t room, size_t& got) override {
        got = 0;
        size_t& n = got;
        if (!started_ && room >= 2) {
            data[n++] = 'P';
            data[n++] = 'D';
            started_ = true;
        }
        for (; pairs_ > 0 && room - n >= 4; --pairs_, n += 4) std::memcpy(data + n, "1,2,", 4);
        for (; pairs_ == 0 && zeros_ > 0 && n < room; --zeros_) data[n++] = '0';
        if (pairs_ == 0 && zeros_ == 0 && !ended_ && room - n >= 4) {
            std::memcpy(data + n, "7,5;", 4);
            n += 4;
            ended_ = true;
        }
        return {};
    }

private:
    size_t pairs_;
    size_t zeros_;
    bool started_ = false;
    bool ended_ = false;
};

class Discard : public ByteWriter {
public:
    SystemError WriteAll(const char*, size_t) override { return {}; }
};

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(HpglReader, ReadsAnyLengthOfInputInBoundedMemory) {
    constexpr size_t kPairs = 512 * 1024;
    constexpr size_t kZeros = 6 * 1024 * 1024;  // 8 MB of input in all
    const long before = PeakResidentKiB();
    EndlessLookingDrawing drawing(kPairs, kZeros);
    Discard discard;
    auto out = std::make_unique<BufferedOutput>(discard);
    const HpglReading reading = ReadHpgl(drawing, *out);
    EXPECT_EQ(reading.points, kPairs + 2);  // the move to the origin, the pairs, (7,5)
    EXPECT_EQ(reading.unpairedCoordinates, 0u);
    EXPECT_LT(PeakResidentKiB() - before, 4 * 1024);
}

// `text` again and again, `bytes` of it in all.
class Repeated : public ByteReader {
public:
    Repeated(std::string text, size_t bytes) : text_(std::move(text)), left_(bytes) {}
    SystemError ReadSome(uint8_t* data, size_t room, size_t& got) override {
        for (got = 0; left_ >= text_.size() && room - got >= text_.size(); left_ -= text_.size()) {
            std::memcpy(data + got, text_.data(), text_.size());
            got += text_.size();
        }
        return {};
    }

private:
    std::string text_;
    size_t left_;
};

TEST(HpglReader, ExpansionAndPolygonsAreBoundedBeforeTheyCost) {
    Discard discard;
    // PM1 after PM1 keeps no empty subpolygons.
    const long before = PeakResidentKiB();
    Repeated subpolygons("PM1;", 8 << 20);
    auto out = std::make_unique<BufferedOutput>(discard);
    EXPECT_FALSE(ReadHpgl(subpolygons, *out).refused);
    EXPECT_LT(PeakResidentKiB() - before, 4 * 1024);
    // 6 MB of circles of 720 chords: refused at the budget, at its reason.
    Repeated circles("CI30000,.5;", 6 << 20);
    const HpglReading reading = ReadHpgl(circles, *out);
    EXPECT_NE(reading.refused.why().find("CI at byte "), std::string::npos);
    EXPECT_NE(reading.refused.why().find(" expands beyond 64 bytes of pen commands per byte read"),
              std::string::npos);
    EXPECT_LT(reading.points, size_t{2} << 20);
}

TEST(HpglReader, AStopEndsTheReadingBetweenBlocks) {
    Discard discard;
    auto out = std::make_unique<BufferedOutput>(discard);
    Repeated circles("CI100;", 64 << 20);
    int asked = 0;
    const HpglReading reading =
        ReadHpgl(circles, *out, std::nullopt, [&asked] { return ++asked > 3; });
    EXPECT_TRUE(reading.stopped);
    EXPECT_FALSE(reading.refused);
}
#endif

TEST(HpglReader, ArcsAndPolygonsAreCutAsAPlotterDrawsThem) {
    // An arc as chords of its tolerance; a polygon once, closed, though both filled and edged.
    EXPECT_EQ(PenCommands("PU100,0;PD;AA0,0,180,90;"), "IN;PU100,0;PD0,100;PD-100,0;");
    EXPECT_EQ(PenCommands("PU0,0;PM0;PD10,0,10,10;PM2;FP;EP;"), "IN;PU0,0;PD10,0;PD10,10;PD0,0;");
}

}  // namespace
