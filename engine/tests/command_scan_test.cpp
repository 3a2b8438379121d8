// Finding pen commands: from an upper-case U or D to the next ';', long ones cut to 30
// characters, never past the data, read in place as the copy reads them; repeats dropped.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/command_scan.h"
#include "test_support.h"

namespace {

std::vector<std::string> Commands(const std::string& text) {
    CommandScanner scan(reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<uint32_t>(text.size()));
    std::vector<std::string> found;
    char command[kCommandBufferSize];
    while (scan.Next(command)) {
        EXPECT_EQ(text[scan.position()], ';');
        found.emplace_back(command);
    }
    EXPECT_TRUE(scan.AtEnd());
    return found;
}

using Strings = std::vector<std::string>;

TEST(CommandScan, FindsPenCommandsFromTheirLetter) {
    EXPECT_EQ(Commands("IN;SP1;PU100,200;PD300,50;"), (Strings{"U100,200;", "D300,50;"}));
    EXPECT_EQ(Commands("PU0,0;\r\nPD0,200;"), (Strings{"U0,0;", "D0,200;"}));
    EXPECT_EQ(Commands("pu0,0;pd1,1;"), Strings{});
    EXPECT_EQ(Commands("DI1,0;"), Strings{"DI1,0;"});
    // A missing ';' merges two commands into one.
    EXPECT_EQ(Commands("PU100,200PD300,50;"), Strings{"U100,200PD300,50;"});
    EXPECT_EQ(Commands(""), Strings{});
}

TEST(CommandScan, LongCommandKeepsItsFirstThirtyCharacters) {
    const std::string longText = "D1234567890,1234567890          ,99999;PU1,2;";
    Strings found = Commands(longText);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0], "D1234567890,1234567890        ;");
    EXPECT_EQ(found[0].size(), 31u);
    EXPECT_EQ(found[1], "U1,2;");
    // Exactly 30 characters still fit whole.
    const std::string thirty = "D" + std::string(29, '7') + ";";
    EXPECT_EQ(Commands(thirty), Strings{thirty});
}

TEST(CommandScan, LetterWithoutSemicolonEndsTheData) {
    EXPECT_EQ(Commands("PU1,2;PD3,4"), Strings{"U1,2;"});
    EXPECT_EQ(Commands(std::string(5000, 'U')), Strings{});
}

TEST(CommandScan, NeverReadsPastTheView) {
    // The view ends right after the letter: nothing beyond it may be read.
    std::string text = "PU1,2;PD";
    std::vector<uint8_t> exact(text.begin(), text.end());
    CommandScanner scan(exact.data(), static_cast<uint32_t>(exact.size()));
    char command[kCommandBufferSize];
    EXPECT_TRUE(scan.Next(command));
    EXPECT_FALSE(scan.Next(command));
    EXPECT_EQ(scan.position(), exact.size());
}

// Reading a command where it lies must give what the copy gives: the same
// letter, numbers and position, whatever the text and wherever the data ends.
void ExpectSameReading(const std::string& text) {
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<uint32_t>(text.size());
    CommandScanner copying(data, length);
    CommandScanner inPlace(data, length);
    char command[kCommandBufferSize];
    PenCommand read;
    for (;;) {
        const bool found = copying.Next(command);
        ASSERT_EQ(inPlace.Next(read), found) << text;
        ASSERT_EQ(inPlace.position(), copying.position()) << text;
        if (!found) break;
        const CommandNumbers n = ReadCommandNumbers(command);
        ASSERT_EQ(read.letter, command[0]) << text;
        ASSERT_EQ(read.numbers.x, n.x) << command;
        ASSERT_EQ(read.numbers.y, n.y) << command;
    }
}

TEST(CommandScan, ReadingInPlaceAgreesWithTheCopy) {
    const std::string padding = ";" + std::string(40, 'x');
    for (std::string c : {"D12,34;",
                          "D-1,+2;",
                          "D+-5,1;",
                          "D-,-;",
                          "D;",
                          "D,;",
                          "U5;",
                          "D5,6,7;",
                          "D1234567,-7654321;",
                          "D12345678,1;",
                          "D1,12345678;",
                          "D0000000012,5;",
                          "D 5,6;",
                          "D5 ,6;",
                          "D5, 6;",
                          "D5,6 ;",
                          "D5.5,6;",
                          "D99999999999,1;",
                          "D1,2147483648;",
                          "DU1,2;",
                          "D1,2U3,4;",
                          "D123456,1234567;"}) {
        ExpectSameReading(c + padding);
        ExpectSameReading(padding + c);
    }
    const char withNul[] = "PD5\0,6;PD1,2;";
    ExpectSameReading(std::string(withNul, sizeof withNul - 1) + padding);
    // Random text from the bytes that matter, with NULs and long digit runs.
    std::mt19937 rng(7);
    const char alphabet[] = "0123456789000000000+-,,,;;; \t\0UDPx";
    std::uniform_int_distribution<size_t> pick(0, sizeof alphabet - 2);
    std::uniform_int_distribution<size_t> size(0, 300);
    for (int i = 0; i < 3000; ++i) {
        std::string text(size(rng), ' ');
        for (char& ch : text) ch = alphabet[pick(rng)];
        ExpectSameReading(text);
    }
}

TEST(RepeatedPoints, DroppedWhateverThePen) {
    EXPECT_EQ(Convert("PU0,0;PD0,0;PD0,200;"), "IN;U240,40;D40,40;U0,0;@;@;@;");
    EXPECT_EQ(Convert("IN;PU0,0;\r\nPD0,200;PD0,200;PU0,200;PD5,5;"),
              Convert("IN;PU0,0;PD0,200;PD5,5;"));
}

TEST(RepeatedPoints, DroppedAndNoPointLostInALongDrawing) {
    // Far more points than pass 2 reads ahead at once, each one given twice:
    // every point comes out once, in order.
    std::string drawing = "PU0,0;";
    std::string expected = "IN;U1039,40;";
    for (int i = 1; i <= 30000; ++i) {
        const std::string point = std::to_string(i) + "," + std::to_string(i % 1000) + ";";
        drawing += "PD" + point + "PD" + point;
        expected += "D" + std::to_string(999 - i % 1000 + 40) + "," + std::to_string(i + 40) + ";";
    }
    EXPECT_EQ(Convert(drawing), expected + "U0,0;@;@;@;");
}

TEST(CutterStream, HeaderAndFooterAlone) {
    EXPECT_EQ(Convert(""), "IN;U0,0;@;@;@;");
    EXPECT_EQ(Convert("IN;SP1;"), "IN;U0,0;@;@;@;");
    EXPECT_EQ(Convert("IN;SP1;", 0, 0, true), "CDR;U0,0;@;@;@;");
}

}  // namespace
