// The block-by-block reading loop of both passes; see command_reader.h.
#include "engine/command_reader.h"

#include <algorithm>
#include <cstring>

CommandReader::CommandReader(ByteReader& input, std::optional<uint32_t> length)
    : input_(input),
      length_(length.value_or(UINT32_MAX)),
      untilEnd_(!length),
      atEnd_(length == 0u),
      buffer_(std::make_unique_for_overwrite<uint8_t[]>(kBlockSize)),
      scan_(buffer_.get(), 0) {}

bool CommandReader::NextInNewBlock(PenCommand& command) {
    for (;;) {
        if (read_ == length_) return End();  // the last block is scanned to its end
        if (!ReadBlock()) return End();
        if (longPending_) {
            const void* semicolon = std::memchr(buffer_.get(), ';', filled_);
            if (semicolon == nullptr) {
                base_ += filled_;
                filled_ = 0;
                windowEnd_ = 0;
                continue;
            }
            longPending_ = false;
            command = {longText_[0], ReadCommandNumbers(longText_)};
            SetWindow(
                static_cast<uint32_t>(static_cast<const uint8_t*>(semicolon) - buffer_.get()));
            return true;
        }
        SetWindow(0);
        if (scan_.Next(command)) return true;
    }
}

// What the scanned window leaves holds no ';'. Of it, the scan still needs
// only a command's beginning: the bytes before its letter are skipped anyway,
// and of a command whose copy is already whole only the ';' is still sought.
bool CommandReader::ReadBlock() {
    uint8_t* buffer = buffer_.get();
    uint32_t from = windowEnd_;
    while (from < filled_ && buffer[from] != 'U' && buffer[from] != 'D') ++from;
    uint32_t keep = filled_ - from;
    if (keep >= kLongestCopy) {
        std::memcpy(longText_, buffer + from, kLongestCopy);
        longText_[kLongestCopy] = ';';
        longText_[kLongestCopy + 1] = '\0';
        longPending_ = true;
        from = filled_;
        keep = 0;
    }
    std::memmove(buffer, buffer + from, keep);
    base_ += from;
    filled_ = keep;
    windowEnd_ = 0;

    const uint32_t want = std::min(kBlockSize - keep, length_ - read_);
    size_t got = 0;
    if (SystemError error = input_.ReadSome(buffer + keep, want, got)) {
        outcome_ = {JobResult::InputUnreadable, error};
        return false;
    }
    if (got == 0 && untilEnd_) {  // the end: what is left in the buffer is the last block
        length_ = read_;
        untilEnd_ = false;
        return true;
    }
    if (got == 0) {  // the file ended before the length it had when opened
        outcome_ = {JobResult::InputChanged, SystemError(Refusal::ChangedWhileRead)};
        return false;
    }
    read_ += static_cast<uint32_t>(got);
    filled_ += static_cast<uint32_t>(got);
    return true;
}

// Once all is read the window is the rest of the buffer; before, it ends just
// past the last ';', so that every command begun in it also ends in it.
void CommandReader::SetWindow(uint32_t start) {
    uint8_t* buffer = buffer_.get();
    uint32_t end = filled_;
    if (read_ < length_) {
        end = start;
        for (uint32_t i = filled_; i > start; --i) {
            if (buffer[i - 1] == ';') {
                end = i;
                break;
            }
        }
    }
    windowEnd_ = end;
    scan_ = CommandScanner(buffer, end, start);
}
