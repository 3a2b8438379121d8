// The blade's measure on drawings that span metres, in limited memory, and a
// measure that fails without taking the stream's verdict or bytes with it.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "corner_miss.h"
#include "sim_process.h"

namespace {

namespace fs = std::filesystem;
using namespace sim_process;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // its shadow memory does not fit under a limit
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

// Many corners at one point among many lines crossing there: the measure
// that stops each search at the largest miss so far finds what looking at
// every segment for every corner finds.
TEST(CornerMiss, CornersMeetingAtOnePointGiveTheLargestDistance) {
    std::vector<TipLine> cuts;
    std::vector<KnifePoint> corners;
    for (int k = 0; k < 200; ++k) {
        const double a = k * 0.0314159;
        // Lines through near the origin, each missing it by a little more.
        const double miss = 0.5 + k * 0.01;
        const double nx = -std::sin(a) * miss;
        const double ny = std::cos(a) * miss;
        cuts.push_back({{nx - 4000 * std::cos(a), ny - 4000 * std::sin(a)},
                        {nx + 4000 * std::cos(a), ny + 4000 * std::sin(a)}});
        corners.push_back({0, 0});
        corners.push_back(
            {static_cast<int64_t>(3000 * std::cos(a)), static_cast<int64_t>(3000 * std::sin(a))});
    }
    double expected = 0;
    for (const KnifePoint& c : corners) {
        double nearest = 1e300;
        for (const TipLine& line : cuts) {
            const double dx = line[1].x - line[0].x;
            const double dy = line[1].y - line[0].y;
            const double t = std::clamp(((static_cast<double>(c.x) - line[0].x) * dx +
                                         (static_cast<double>(c.y) - line[0].y) * dy) /
                                            (dx * dx + dy * dy),
                                        0.0, 1.0);
            nearest = std::min(nearest, std::hypot(static_cast<double>(c.x) - line[0].x - t * dx,
                                                   static_cast<double>(c.y) - line[0].y - t * dy));
        }
        expected = std::max(expected, nearest);
    }
    const std::optional<CornerMiss> miss = MeasureCornerMiss(corners, cuts);
    ASSERT_TRUE(miss.has_value());
    EXPECT_EQ(miss->corners, corners.size());
    EXPECT_NEAR(miss->largestUnits, expected, 1e-9);
    EXPECT_FALSE(MeasureCornerMiss(corners, cuts, [] { return true; }).has_value());
}

class BladeMeasure : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(TEST_OUTPUT_DIR) /
               ("blade-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }

    // The plot converted plainly, or compensated with extra options, in port mode.
    fs::path Convert(const std::string& name, const std::string& plot,
                     std::vector<std::string> options = {}) {
        WriteFile(dir_ / (name + ".plt"), plot);
        std::vector<std::string> args = {CUTCONV_PATH, "--port"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back((dir_ / (name + ".plt")).string());
        args.push_back((dir_ / (name + ".th0")).string());
        EXPECT_EQ(WaitExit(Spawn(args, dir_ / "cutconv.out"), std::chrono::seconds(60)), 0);
        return dir_ / (name + ".th0");
    }

    // cutter-sim's exit status, run with its address space limited to `kilobytes`.
    int RunLimited(long kilobytes, std::vector<std::string> args) {
        std::vector<std::string> command = {CUTTER_SIM_PATH};
        if (!kSanitized) {
            command = {"/bin/sh", "-c",
                       "ulimit -v " + std::to_string(kilobytes) + " && exec \"$0\" \"$@\"",
                       CUTTER_SIM_PATH};
        }
        command.insert(command.end(), args.begin(), args.end());
        return WaitExit(Spawn(command, dir_ / "summary"), std::chrono::seconds(120));
    }

    double Figure(const std::string& key) {
        const std::string summary = ReadFile(dir_ / "summary");
        const size_t at = summary.find(" " + key + "=");
        EXPECT_NE(at, std::string::npos) << summary;
        return at == std::string::npos ? -1 : std::atof(summary.c_str() + at + key.size() + 2);
    }

    fs::path dir_;
};

// A pentagram of 38 m sides and a sliver across a 100 m sheet: cuts of tens of
// metres in many directions, whose cells would fill gigabytes if the index
// covered the area they span. Against a drawing whose star is not cut at all,
// every star point lies metres from the cut.
TEST_F(BladeMeasure, CutsOfTensOfMetresAreMeasuredInHalfAGigabyte) {
    constexpr double kPi = 3.14159265358979323846;
    constexpr long kCentre = 2000000;  // 50 m
    constexpr long kRadius = 800000;   // 20 m
    std::string star = "PU";
    double farthest = 0;  // of a star point from the sheet's diagonal, in mm
    for (int i = 0; i <= 5; ++i) {
        const double angle = kPi / 2 + (i * 2 % 5) * 2 * kPi / 5;
        const long x = kCentre + std::lround(kRadius * std::cos(angle));
        const long y = kCentre + std::lround(kRadius * std::sin(angle));
        star += std::to_string(x) + "," + std::to_string(y) + ";PD";
        farthest = std::max(farthest, std::fabs(double(x - y)) / std::sqrt(2.0) / 40);
    }
    star.resize(star.size() - 2);
    const std::string sliver = "PU0,0;PD4000000,4000000;PD4000000,3999960;PD0,0;";
    const fs::path drawing = Convert("drawing", "IN;" + star + sliver);

    ASSERT_EQ(
        RunLimited(512 * 1024, {"--blade", "0.5", "--drawing", drawing.string(), drawing.string()}),
        0)
        << ReadFile(dir_ / "summary.err");
    EXPECT_NE(ReadFile(dir_ / "summary").find(" corners=8 "), std::string::npos);
    EXPECT_NEAR(Figure("corner_miss_mm"), 0.5, 0.01);

    const fs::path sliverOnly = Convert("sliver", "IN;" + sliver);
    ASSERT_EQ(RunLimited(512 * 1024,
                         {"--blade", "0.5", "--drawing", drawing.string(), sliverOnly.string()}),
              0)
        << ReadFile(dir_ / "summary.err");
    EXPECT_NEAR(Figure("corner_miss_mm"), farthest, 2.0);
}

// Out of memory for the blade, the stream is still judged, kept and summed up.
TEST_F(BladeMeasure, MeasureThatFailsLeavesTheStreamsVerdictAndBytes) {
    if (kSanitized) GTEST_SKIP() << "needs a memory limit";
    std::string plot = "IN;";
    for (int i = 0; i < 20000; ++i) {
        const std::string x = std::to_string(i % 200 * 300);
        const std::string y = std::to_string(i / 200 * 300);
        const std::string x2 = std::to_string(i % 200 * 300 + 200);
        const std::string y2 = std::to_string(i / 200 * 300 + 200);
        plot += "PU" + x + "," + y + ";PD" + x + "," + y2 + ";PD" + x2 + "," + y2 + ";PD" + x2 +
                "," + y + ";PD" + x + "," + y + ";";
    }
    const fs::path stream = Convert("squares", plot, {"--offset", "0.5", "--overcut", "7.5"});
    const fs::path raw = dir_ / "received.th0";
    EXPECT_EQ(RunLimited(24 * 1024, {"--blade", "0.5", "--raw", raw.string(), "--summary",
                                     (dir_ / "summary.txt").string(), stream.string()}),
              3);
    EXPECT_EQ(ReadFile(raw), ReadFile(stream));
    const std::string summary = ReadFile(dir_ / "summary.txt");
    EXPECT_NE(summary.find(" cuts=220000 moves=20000 "), std::string::npos) << summary;
    EXPECT_NE(summary.find(" bad=0 complete blade=failed\n"), std::string::npos) << summary;
    EXPECT_EQ(ReadFile(dir_ / "summary"), summary);
    EXPECT_NE(ReadFile(dir_ / "summary.err").find("the blade's measure ran out of memory"),
              std::string::npos);
}

// A device or a pipe as the drawing would be read for ever.
TEST_F(BladeMeasure, DrawingThatIsNotARegularFileIsRefused) {
    const fs::path stream = fs::path(SAMPLES_DIR) / "square_out_plain.th0";
    EXPECT_EQ(RunLimited(512 * 1024, {"--blade", "0.5", "--drawing", "/dev/zero", stream.string()}),
              2);
    EXPECT_NE(ReadFile(dir_ / "summary.err").find("/dev/zero: not a regular file"),
              std::string::npos);
}

}  // namespace
