#include "command_scan.h"

#include <cstring>

bool CommandScanner::Next(char (&command)[kCommandBufferSize]) {
    uint32_t p = position_;
    while (p < length_ && data_[p] != 'U' && data_[p] != 'D') ++p;
    if (p >= length_) {
        position_ = length_;
        return false;
    }
    const void* semicolon = std::memchr(data_ + p, ';', length_ - p);
    if (semicolon == nullptr) {
        position_ = length_;
        return false;
    }
    uint32_t end = static_cast<uint32_t>(static_cast<const uint8_t*>(semicolon) - data_);
    uint32_t size = end - p;
    constexpr uint32_t kMaxText = kCommandBufferSize - 2;  // room for ";" and NUL
    if (size > kMaxText) size = kMaxText;
    // A fixed-size copy is much cheaper than a variable one; the bytes past the
    // command are overwritten by its end or lie behind the NUL.
    if (length_ - p >= kCommandBufferSize)
        std::memcpy(command, data_ + p, kCommandBufferSize);
    else
        std::memcpy(command, data_ + p, size);
    command[size] = ';';
    command[size + 1] = '\0';
    position_ = end;
    return true;
}
