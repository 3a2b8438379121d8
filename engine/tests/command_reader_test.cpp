// The block-by-block reading: wherever a block ends, the commands, their
// positions and the end of the data are those of one scan over the whole file.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "engine/platform/input_file.h"
#include "test_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

constexpr CutSettings kCompensated{20, 300, false};

TEST(CommandReader, BlocksEndingAnywhereChangeNothing) {
    std::string plot = worked_square::kPlot;
    // Commands of every kind near each other: long ones cut to their first
    // 30 bytes, merged ones, a letter without ';' at the very end.
    for (int i = 0; i < 60; ++i) {
        plot += "PD" + std::to_string(i * 37 % 500) + "," + std::string(i % 40, ' ') + "7;";
        plot += "PU" + std::to_string(i) + ",9PD3,4;IN;dx;" + std::string(i % 33, 'P');
        plot += "PD" + std::string(i % 35, '1') + ",2;\r\n";
    }
    plot += "PD5";
    const ConversionInMemory whole = ConvertReporting(plot, kCompensated);
    for (size_t piece : {1, 2, 3, 7, 29, 30, 31, 32, 33, 100}) {
        SCOPED_TRACE(piece);
        EXPECT_EQ(ConvertReporting(plot, kCompensated, piece), whole);
    }
}

TEST(CommandReader, CommandLongerThanABlockEndsAtItsOwnSemicolon) {
    // 200000 blanks inside one command: it keeps its first 30 bytes, and the
    // next command and the progress follow its ';', three blocks further on.
    const std::string plot = "PU0,0;PD12,34" + std::string(200000, ' ') + ";PD56,78;";
    EXPECT_EQ(Convert(plot), "IN;U118,40;D84,52;D40,96;U0,0;@;@;@;");
    const auto reported = ConvertReporting(plot, kCompensated).events;
    EXPECT_EQ(reported[1], "at 200013");
}

#ifndef _WIN32
TEST(InputFile, RefusesAPipeAtOnceAndAFileOf4GiB) {
    TempFolder folder;
    const auto fifo = folder / "fifo.plt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    InputFile input;
    EXPECT_EQ(input.Open(fifo).refusal(), Refusal::NotRegularFile);  // nobody writes to it: no wait

    const auto huge = folder / "huge.plt";
    WriteFile(huge, "");
    std::filesystem::resize_file(huge, (uint64_t{1} << 32) + 24);  // sparse
    EXPECT_EQ(input.Open(huge).refusal(), Refusal::TooLarge);
    std::filesystem::resize_file(huge, (uint64_t{1} << 32) - 1);
    EXPECT_FALSE(input.Open(huge));
    EXPECT_EQ(input.length(), UINT32_MAX);
}
#endif

}  // namespace
