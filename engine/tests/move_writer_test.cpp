// Output lines write numbers exactly as printf's %d does, y before x, and the port shift wraps
// in 32 bits.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "engine/move_writer.h"
#include "test_support.h"

namespace {

std::string Written(char letter, Pos_xyz p, bool toPort) {
    StringWriter sink;
    BufferedOutput out(sink);
    MoveWriter(out, toPort).WriteMove(letter, p);
    out.Flush();
    return sink.text;
}

// The line format is a contract with the cutter: exactly what "%d" prints.
TEST(MoveWriter, NumbersAreWrittenAsPrintfWritesThem) {
    std::mt19937 rng(42);
    std::vector<int32_t> values = {0,   1,    9,    10,        99,        100,
                                   999, 1000, 9999, 10000,     99999,     100000,
                                   -1,  -10,  -100, INT32_MAX, INT32_MIN, INT32_MIN + 1};
    for (int32_t v = 1; v <= 100000000; v *= 10) values.insert(values.end(), {v - 1, -v, 1 - v});
    // Every length of digits, as often as the long ones.
    for (int i = 0; i < 2000; ++i) values.push_back(static_cast<int32_t>(rng()) >> (i % 32));
    // Each value beside itself and beside one of other length and sign.
    for (size_t i = 0; i < values.size(); ++i) {
        const int32_t v = values[i];
        const int32_t w = values[(i * 7 + 1) % values.size()];
        char same[32];
        char mixed[32];
        std::snprintf(same, sizeof same, "D%d,%d;", v, v);
        std::snprintf(mixed, sizeof mixed, "D%d,%d;", w, v);
        EXPECT_EQ(Written('D', Pos_xyz{v, v, 1}, false), same);
        EXPECT_EQ(Written('D', Pos_xyz{v, w, 1}, false), mixed);
    }
}

TEST(MoveWriter, YFirstAndThePortShift) {
    EXPECT_EQ(Written('U', Pos_xyz{40, 240, 0}, false), "U240,40;");
    EXPECT_EQ(Written('U', Pos_xyz{40, 240, 0}, true), "U2072,1564;");
    // The shift wraps in 32 bits like the rest of the cutter's arithmetic.
    EXPECT_EQ(Written('D', Pos_xyz{INT32_MAX, INT32_MAX, 1}, true), "D-2147481817,-2147482125;");
}

}  // namespace
