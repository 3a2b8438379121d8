// Port numbers from SERIALCOMM data: two digits after the prefix, 0 without a digit, nothing
// read past the terminator or the size, the low 8 bits of what atoi gives.
#include "serial_comm_data.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint8_t PortOf(const char* data) {
    return PortNumberFromSerialCommData(data, std::strlen(data) + 1);
}

}  // namespace

TEST(SerialCommData, TwoDigitsAfterThePrefixNameThePort) {
    EXPECT_EQ(PortOf("COM1"), 1);
    EXPECT_EQ(PortOf("COM9"), 9);
    EXPECT_EQ(PortOf("COM12"), 12);
    EXPECT_EQ(PortOf("COM123"), 12);
    EXPECT_EQ(PortOf("COM05"), 5);
}

TEST(SerialCommData, NoDigitGivesPortZero) {
    EXPECT_EQ(PortOf("COM"), 0);
    EXPECT_EQ(PortOf("COMx"), 0);
    EXPECT_EQ(PortOf(""), 0);
    EXPECT_EQ(PortOf("\\Device\\Serial0"), 0);
}

TEST(SerialCommData, ReadsNothingBeyondTheData) {
    // Bytes after the terminator or beyond the size belong to no value.
    const char stale[] = "C\0M12";
    EXPECT_EQ(PortNumberFromSerialCommData(stale, sizeof stale), 0);
    const char unterminated[5] = {'C', 'O', 'M', '4', '7'};
    EXPECT_EQ(PortNumberFromSerialCommData(unterminated, 4), 4);
    EXPECT_EQ(PortNumberFromSerialCommData(unterminated, 5), 47);
}

TEST(SerialCommData, KeepsTheLowEightBitsOfWhatAtoiReads) {
    EXPECT_EQ(PortOf("COM-1"), 255);
    EXPECT_EQ(PortOf("COM 7"), 7);
}
