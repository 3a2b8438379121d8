// The command scan's copying reading: a command's text up to its ';', cut to fit the buffer;
// used by the text form of Next and for commands that cannot be read where they lie.
#include "engine/command_scan.h"

#include <cstring>

uint32_t CommandScanner::CopyCommand(const uint8_t* data, uint32_t length, uint32_t p,
                                     char (&command)[kCommandBufferSize]) {
    if (p >= length) return length;
    const void* semicolon = std::memchr(data + p, ';', length - p);
    if (semicolon == nullptr) return length;
    const auto end = static_cast<uint32_t>(static_cast<const uint8_t*>(semicolon) - data);
    uint32_t size = end - p;
    constexpr uint32_t kMaxText = kCommandBufferSize - 2;  // room for ";" and NUL
    if (size > kMaxText) size = kMaxText;
    // A fixed-size copy is much cheaper than a variable one; the bytes past the
    // command are overwritten by its end or lie behind the NUL.
    if (length - p >= kCommandBufferSize)
        std::memcpy(command, data + p, kCommandBufferSize);
    else
        std::memcpy(command, data + p, size);
    command[size] = ';';
    command[size + 1] = '\0';
    return end;
}

bool CommandScanner::Next(char (&command)[kCommandBufferSize]) {
    position_ = CopyCommand(data_, length_, SkipToLetter(), command);
    return position_ < length_;
}

CommandScanner::CopiedCommand CommandScanner::ReadCopied(const uint8_t* data, uint32_t length,
                                                         uint32_t p) {
    char text[kCommandBufferSize];
    const uint32_t end = CopyCommand(data, length, p, text);
    if (end >= length) return {false, length, {}};
    return {true, end, {text[0], ReadCommandNumbers(text)}};
}
