#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_scan.h"
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

TEST(RepeatedPoints, DroppedWhateverThePen) {
    EXPECT_EQ(Convert("PU0,0;PD0,0;PD0,200;"), "IN;U240,40;D40,40;U0,0;@;@;@;");
    EXPECT_EQ(Convert("IN;PU0,0;\r\nPD0,200;PD0,200;PU0,200;PD5,5;"),
              Convert("IN;PU0,0;PD0,200;PD5,5;"));
}

TEST(CutterStream, HeaderAndFooterAlone) {
    EXPECT_EQ(Convert(""), "IN;U0,0;@;@;@;");
    EXPECT_EQ(Convert("IN;SP1;"), "IN;U0,0;@;@;@;");
    EXPECT_EQ(Convert("IN;SP1;", 0, 0, true), "CDR;U0,0;@;@;@;");
}

}  // namespace
