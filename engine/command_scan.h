#pragma once
#include <cstdint>

#include "command_parse.h"

// Finds the pen commands in the mapped plot file. Every byte up to an
// upper-case 'U' or 'D' is skipped; the command runs from that letter to the
// next ';'. The data is only read, never copied beyond one command.
class CommandScanner {
public:
    CommandScanner(const uint8_t* data, uint32_t length) : data_(data), length_(length) {}

    // Copies the next command into `command` (letter, text, ";", NUL) and leaves
    // the position on its ';'. Returns false when the end of the data is reached.
    //
    // A command whose text does not fit the buffer keeps its first characters and
    // ends at its own ';' (the reading only ever uses the leading numbers). A
    // letter with no ';' after it cannot be a whole command: the data ends there.
    bool Next(char (&command)[kCommandBufferSize]);

    uint32_t position() const { return position_; }
    uint32_t length() const { return length_; }
    bool AtEnd() const { return position_ >= length_; }

private:
    const uint8_t* data_;
    uint32_t length_;
    uint32_t position_ = 0;
};
