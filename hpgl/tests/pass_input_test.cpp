// An HPGL file read once for each pass: each pass gets the pen commands as the
// reader makes them, in bounded memory, and a file that is refused or changes
// between the passes ends the job.
#include "hpgl/pass_input.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "test_support.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

// One pass: every byte the input hands out, then its verdict.
JobResult ReadPass(HpglPassInput& input, std::string* bytes = nullptr) {
    if (input.Open()) return JobResult::InputUnreadable;
    uint8_t block[64 * 1024];
    for (size_t got = 1; got > 0;) {
        if (input.ReadSome(block, sizeof block, got)) return JobResult::InputUnreadable;
        if (bytes != nullptr) bytes->append(reinterpret_cast<char*>(block), got);
    }
    return input.Finish().result;
}

TEST(HpglPassInput, PassTwoMustReadTheFilePassOneRead) {
    TempFolder dir;
    const std::filesystem::path drawing = dir / "drawing.hpgl";
    WriteFile(drawing, "IN;PU0,0;PD10,10,20,0;");
    HpglPassInput input(drawing, std::nullopt, {});
    std::string bytes;
    EXPECT_EQ(ReadPass(input, &bytes), JobResult::Completed);
    EXPECT_EQ(bytes, "IN;PU0,0;PD10,10;PD20,0;");
    EXPECT_EQ(input.length(), bytes.size());
    EXPECT_EQ(ReadPass(input), JobResult::Completed);

    // Other pen commands of the same length, written later (some file
    // systems keep whole seconds), then more of them.
    const auto written = std::filesystem::last_write_time(drawing);
    WriteFile(drawing, "IN;PU0,0;PD10,10,20,1;");
    std::filesystem::last_write_time(drawing, written + std::chrono::seconds(2));
    EXPECT_EQ(ReadPass(input), JobResult::InputChanged);
    WriteFile(drawing, "IN;PU0,0;PD10,10,20,0,30,0;");
    EXPECT_EQ(ReadPass(input), JobResult::InputChanged);

    HpglPassInput refused(drawing, std::nullopt, {});
    WriteFile(drawing, "IN;PU0,0;PD10,10;WG5,0,90;");
    EXPECT_EQ(ReadPass(refused), JobResult::InputRefused);
    EXPECT_EQ(refused.reading().refused, HpglRefusal::NotRead("WG"));
}

#ifndef _WIN32
TEST(HpglPassInput, ALineOfAnyLengthIsHandedOnInBoundedMemory) {
    TempFolder dir;
    std::string line = "PD";
    for (int i = 0; i < 512 * 1024; ++i) line += "1,2,3,4,";
    line += "0,0;";  // 4 MB of HPGL, 6 MB of pen commands
    WriteFile(dir / "long.hpgl", line);
    line = {};
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long before = usage.ru_maxrss;
    HpglPassInput input(dir / "long.hpgl", std::nullopt, {});
    EXPECT_EQ(ReadPass(input), JobResult::Completed);
    EXPECT_GT(*input.length(), 6'000'000u);
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss - before, 3 * 1024);
}
#endif

}  // namespace
