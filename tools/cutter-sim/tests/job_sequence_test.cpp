// A cutter that stays on between jobs: jobs split at their headers, a stop that left a command
// unfinished and the next job's header completing it, a picture that numbers the contours.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "job_sequence.h"
#include "svg_picture.h"

namespace {

const std::string kFirst = "CDR;U1832,1524;D2072,1524;D2072,1764;U0,0;@;@;@;";
const std::string kSecond = "CDR;U1900,1600;D1900,1700;U2000,1600;D2100,1600;U0,0;@;@;@;";

std::string Alone(const std::string& stream) {
    StreamDecoder decoder;
    decoder.Feed(stream.data(), stream.size());
    decoder.EndOfStream();
    return FormatSummary(decoder.summary());
}

std::vector<std::string> Lines(const std::string& line, size_t piece = 7) {
    JobSequence sequence;
    for (size_t at = 0; at < line.size(); at += piece)
        sequence.Feed(line.data() + at, std::min(piece, line.size() - at));
    sequence.EndOfStream();
    std::vector<std::string> lines;
    for (size_t i = 0; i < sequence.jobs().size(); ++i)
        lines.push_back(FormatSequenceJob(i + 1, sequence.jobs()[i]));
    return lines;
}

TEST(JobSequence, JobsThatEndWithTheirEndingAreEachTheirOwnStream) {
    EXPECT_EQ(Lines(kFirst + kSecond + kFirst),
              (std::vector<std::string>{
                  "job=1 " + Alone(kFirst) + " start=clean end=ending",
                  "job=2 " + Alone(kSecond) + " start=clean end=ending",
                  "job=3 " + Alone(kFirst) + " start=clean end=ending",
              }));
}

TEST(JobSequence, AHeaderInsideAnUnfinishedCommandCompletesItFirst) {
    // Stopped inside "D2072,1764;": the cutter reads "D2072,17CDR;" as a cut
    // to a point nobody drew, and the next job then runs as its own stream.
    const std::string stopped = "CDR;U1832,1524;D2072,1524;D2072,17";
    EXPECT_EQ(Lines(stopped + kSecond),
              (std::vector<std::string>{
                  "job=1 bytes=34 header=CDR cuts=1 moves=1 cut_mm=6.000 "
                  "bbox_mm=0.000,0.000,0.000,6.000 bad=0 incomplete start=clean "
                  "end=inside-command knife=down",
                  "job=2 " + Alone(kSecond) +
                      " start=inside-command stray=D2072,17 knife=cut-to:-37.675,6.000 end=ending",
              }));
    // Between two commands but without the ending: the knife stays down.
    const std::vector<std::string> bare = Lines("CDR;U1832,1524;D2072,1524;" + kSecond);
    EXPECT_NE(bare[0].find(" end=no-ending knife=down"), std::string::npos) << bare[0];
    EXPECT_NE(bare[1].find(" start=clean end=ending"), std::string::npos) << bare[1];
    // The line ends inside a command.
    const std::vector<std::string> cut = Lines(kFirst + "CDR;U19");
    EXPECT_NE(cut[1].find(" bad=1 incomplete start=clean end=inside-command"), std::string::npos)
        << cut[1];
}

TEST(SvgPicture, NumbersEachContourByJobWhenSeveralCame) {
    SvgPicture one;
    StreamDecoder single(&one);
    single.Feed(kSecond.data(), kSecond.size());
    std::ostringstream alone;
    one.Write(alone, single.summary().box);
    EXPECT_NE(alone.str().find(">1</text>"), std::string::npos);
    EXPECT_NE(alone.str().find(">2</text>"), std::string::npos);

    SvgPicture two;
    JobSequence sequence(&two);
    const std::string line = kFirst + kSecond;
    sequence.Feed(line.data(), line.size());
    std::ostringstream both;
    two.Write(both, single.summary().box);
    EXPECT_NE(both.str().find(">1.1</text>"), std::string::npos);
    EXPECT_NE(both.str().find(">2.2</text>"), std::string::npos);
    EXPECT_EQ(both.str().find(">2.3</text>"), std::string::npos);
}

}  // namespace
