// Fuzz target: finding commands in arbitrary bytes and reading their numbers.
// Checks that every command is a faithful, bounded copy of the input, that the
// scan always moves on, that the numbers, the extent and the mapping agree
// with an independent reading of the same text, and that reading in place
// finds the same commands and numbers.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/command_parse.h"
#include "engine/command_scan.h"
#include "stream_check.h"

namespace {

struct ScannedCommand {
    std::string text;  // the buffer's C string: letter ... ';'
    int32_t x;
    int32_t y;
    uint32_t position;  // of its ';'
};

// The command as the buffer holds it, checked against the input bytes.
void CheckCommand(const char (&command)[kCommandBufferSize], const uint8_t* data, uint32_t length,
                  uint32_t from, uint32_t position) {
    Check(position < length && data[position] == ';', "position not on a ';'");
    // The letter is the first U or D at or after where the scan began.
    uint32_t letter = from;
    while (data[letter] != 'U' && data[letter] != 'D') ++letter;
    Check(letter < position, "letter not before the ';'");
    Check(std::memchr(data + letter, ';', position - letter) == nullptr, "';' inside a command");
    Check(command[0] == static_cast<char>(data[letter]), "letter copied wrong");
    // Text: the bytes after the letter, cut to what fits, then ";" and NUL.
    const uint32_t kept = std::min<uint32_t>(position - letter, kCommandBufferSize - 2);
    Check(std::memcmp(command, data + letter, kept) == 0, "text copied wrong");
    Check(command[kept] == ';' && command[kept + 1] == '\0', "command not closed by \";\" NUL");
}

CommandNumbers ReferenceNumbers(const char* command) {
    // A C string: the reading ends at the ';' or at a NUL copied from the input.
    const std::string_view text(command, std::strlen(command));
    const size_t end = text.find(';');
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos || comma > end)
        return {ReferenceNumber(text.substr(1, end - 1)), 0};
    return {ReferenceNumber(text.substr(1, comma - 1)),
            ReferenceNumber(text.substr(comma + 1, end - comma - 1))};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= UINT32_MAX) return 0;
    const uint32_t length = static_cast<uint32_t>(size);
    CommandScanner scan(data, length);
    char command[kCommandBufferSize];
    std::vector<ScannedCommand> commands;
    while (!scan.AtEnd()) {
        const uint32_t from = scan.position();
        if (!scan.Next(command)) {
            Check(scan.position() == length, "a failed scan must end the data");
            break;
        }
        // Each command ends on a ';' of its own: the scan always moves on.
        Check(scan.position() > from || commands.empty(), "scan did not move on");
        CheckCommand(command, data, length, from, scan.position());
        const CommandNumbers n = ReadCommandNumbers(command);
        const CommandNumbers expected = ReferenceNumbers(command);
        Check(n.x == expected.x && n.y == expected.y, "numbers read wrong", command);
        commands.push_back({command, n.x, n.y, scan.position()});
    }

    // Reading in place finds the same commands with the same numbers.
    CommandScanner inPlace(data, length);
    PenCommand read;
    size_t count = 0;
    while (inPlace.Next(read)) {
        Check(count < commands.size(), "in-place reading found more commands");
        const ScannedCommand& c = commands[count++];
        Check(read.letter == c.text[0] && read.numbers.x == c.x && read.numbers.y == c.y &&
                  inPlace.position() == c.position,
              "in-place reading differs", c.text);
    }
    Check(count == commands.size() && inPlace.position() == length,
          "in-place reading ended elsewhere");

    PlotExtent extent;
    for (const ScannedCommand& c : commands) ScanExtent(c.text.c_str(), extent);
    Check(extent.seen == !commands.empty(), "extent seen");
    int32_t minX = commands.empty() ? 0 : commands[0].x;
    int32_t maxY = commands.empty() ? 0 : commands[0].y;
    for (const ScannedCommand& c : commands) {
        minX = std::min(minX, c.x);
        maxY = std::max(maxY, c.y);
    }
    Check(extent.minX == minX && extent.maxY == maxY, "extent wrong");

    for (const ScannedCommand& c : commands) {
        const Pos_xyz p = ParsePoint(c.text.c_str(), extent);
        const int64_t x = int64_t{c.x} - minX + 40;  // at least 40: minX is the smallest
        const int64_t y = int64_t{maxY} - c.y + 40;
        // Beyond int32 the mapping wraps, as 32-bit arithmetic does.
        Check(p.x == static_cast<int32_t>(static_cast<uint32_t>(x)), "x mapped wrong", c.text);
        Check(p.y == static_cast<int32_t>(static_cast<uint32_t>(y)), "y mapped wrong", c.text);
        Check(p.pen == (c.text[0] == 'D' ? 1 : 0), "pen wrong", c.text);
    }
    return 0;
}
