// On random drawings: the port stream is the file output shifted by (1832, 1524) under its own
// header, and without compensation every line is a mapped input point.
#include <gtest/gtest.h>

#include <random>
#include <regex>

#include "engine/command_scan.h"
#include "engine/wrapping_math.h"
#include "test_support.h"

namespace {

// Random drawings: contours of pen-up and pen-down commands among noise that
// the scan must skip (other instructions, line breaks, fractions, blanks).
std::string RandomDrawing(std::mt19937& rng) {
    std::uniform_int_distribution<int> coord(-3000, 3000), count(1, 12), kind(0, 9);
    std::string text = "IN;SP1;";
    const int contours = count(rng);
    for (int c = 0; c < contours; ++c) {
        text += "PU" + std::to_string(coord(rng)) + "," + std::to_string(coord(rng)) + ";";
        const int points = count(rng);
        for (int i = 0; i < points; ++i) {
            switch (kind(rng)) {
                case 0: text += "\r\n"; break;
                case 1: text += "VS10;"; break;
                case 2:
                    text += "PD " + std::to_string(coord(rng)) + ".5, " +
                            std::to_string(coord(rng)) + ";";
                    continue;
                default: break;
            }
            text += "PD" + std::to_string(coord(rng)) + "," + std::to_string(coord(rng)) + ";";
        }
    }
    return text;
}

struct Line {
    char letter;
    int32_t first;
    int32_t second;
};

// Splits a stream after its header into coordinate lines; the footer must end it.
std::vector<Line> CoordinateLines(const std::string& stream, const std::string& header) {
    EXPECT_EQ(stream.compare(0, header.size(), header), 0);
    const std::string footer = "U0,0;@;@;@;";
    EXPECT_GE(stream.size(), header.size() + footer.size());
    EXPECT_EQ(stream.substr(stream.size() - footer.size()), footer);
    std::string body = stream.substr(header.size(), stream.size() - header.size() - footer.size());
    static const std::regex line("([UD])(-?[0-9]+),(-?[0-9]+);");
    std::vector<Line> lines;
    auto it = std::sregex_iterator(body.begin(), body.end(), line);
    size_t consumed = 0;
    for (; it != std::sregex_iterator(); ++it) {
        EXPECT_EQ(static_cast<size_t>(it->position()), consumed) << "stray text in " << body;
        consumed += it->length();
        lines.push_back({(*it)[1].str()[0], std::stoi((*it)[2]), std::stoi((*it)[3])});
    }
    EXPECT_EQ(consumed, body.size());
    return lines;
}

TEST(ModeProperty, PortStreamIsTheFileOutputShiftedWithItsOwnHeader) {
    std::mt19937 rng(20261208);
    size_t totalLines = 0;
    for (int round = 0; round < 300; ++round) {
        const std::string drawing = RandomDrawing(rng);
        const int32_t offset = round % 3 == 0 ? 0 : static_cast<int32_t>(rng() % 60);
        const int32_t overcut = round % 4 == 0 ? 0 : static_cast<int32_t>(rng() % 800);
        SCOPED_TRACE(drawing);
        const auto file = CoordinateLines(Convert(drawing, offset, overcut, false), "IN;");
        const auto port = CoordinateLines(Convert(drawing, offset, overcut, true), "CDR;");
        ASSERT_EQ(file.size(), port.size());
        totalLines += file.size();
        for (size_t i = 0; i < file.size(); ++i) {
            EXPECT_EQ(port[i].letter, file[i].letter);
            EXPECT_EQ(port[i].first, Add32(file[i].first, 1832));
            EXPECT_EQ(port[i].second, Add32(file[i].second, 1524));
        }
    }
    EXPECT_GT(totalLines, 5000u);  // the drawings really exercise the cutter
}

TEST(ModeProperty, WithoutCompensationEveryLineIsAMappedInputPoint) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        const std::string drawing = RandomDrawing(rng);
        SCOPED_TRACE(drawing);
        // The mapped points of every command, as pass 2 sees them.
        PlotExtent extent;
        std::vector<std::pair<int32_t, int32_t>> mapped;
        {
            CommandScanner scan(reinterpret_cast<const uint8_t*>(drawing.data()),
                                static_cast<uint32_t>(drawing.size()));
            char command[kCommandBufferSize];
            std::vector<std::string> commands;
            while (scan.Next(command)) commands.emplace_back(command);
            for (const auto& c : commands) ScanExtent(c.c_str(), extent);
            for (const auto& c : commands) {
                Pos_xyz p = ParsePoint(c.c_str(), extent);
                mapped.emplace_back(p.y, p.x);
            }
        }
        for (const Line& l : CoordinateLines(Convert(drawing), "IN;")) {
            EXPECT_NE(std::find(mapped.begin(), mapped.end(), std::make_pair(l.first, l.second)),
                      mapped.end());
        }
    }
}

}  // namespace
