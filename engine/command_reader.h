#pragma once
// The reading loop of both passes: the plot file is read a block at a time
// into one buffer and its commands are found in place there. Commands that a
// block's end cuts are carried over to the next block, so the commands, their
// positions and the end of the data are those of one scan over the whole file.
#include <cstdint>
#include <memory>
#include <optional>

#include "engine/command_parse.h"
#include "engine/command_scan.h"
#include "engine/job_outcome.h"
#include "engine/platform/byte_reader.h"

class CommandReader {
public:
    // Reads `length` bytes from `input`: the file's length when it was opened.
    // Without a length, reads until the input ends (bytes made as they are read).
    CommandReader(ByteReader& input, std::optional<uint32_t> length);

    // The next command, with the position left on its ';'; false at the end of
    // the data, or when the input could not be read to its length (outcome()).
    bool Next(PenCommand& command) {
        if (scan_.Next(command)) [[likely]]
            return true;
        // Through a member, so that the caller's command never leaves registers.
        if (!NextInNewBlock(blockCommand_)) return false;
        command = blockCommand_;
        return true;
    }
    uint32_t position() const { return base_ + scan_.position(); }
    bool AtEnd() const { return atEnd_; }
    // Completed, or why the input ended before its length.
    const JobOutcome& outcome() const { return outcome_; }

private:
    static constexpr uint32_t kBlockSize = 64 * 1024;
    // The longest copy of a command: its letter and the text up to the 30th byte.
    static constexpr uint32_t kLongestCopy = kCommandBufferSize - 2;

    bool NextInNewBlock(PenCommand& command);
    bool ReadBlock();
    void SetWindow(uint32_t start);
    bool End() {
        atEnd_ = true;
        return false;
    }

    ByteReader& input_;
    uint32_t length_;
    bool untilEnd_;           // the length is the input's end, not yet met
    uint32_t read_ = 0;       // bytes read from the input so far
    uint32_t base_ = 0;       // the file position of the buffer's first byte
    uint32_t filled_ = 0;     // bytes in the buffer
    uint32_t windowEnd_ = 0;  // the scan's end in the buffer: just past its last ';'
    bool atEnd_;
    // A command whose copy is whole while its ';' is yet to come.
    bool longPending_ = false;
    char longText_[kCommandBufferSize] = {};
    JobOutcome outcome_;
    PenCommand blockCommand_{};
    std::unique_ptr<uint8_t[]> buffer_;
    CommandScanner scan_;
};
