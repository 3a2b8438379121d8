#pragma once
// The engine counts a file's bytes in 32 bits. A drawing or a stream of 4 GiB
// or more is refused whole, before anything is written or sent, rather than
// read or sent in part.
#include <cstdint>

#include "engine/platform/system_error.h"

inline constexpr uint64_t kLargestFileSize = 0xFFFFFFFFu;

// Empty when a file of `size` bytes can be handled, else the refusal "too large".
inline SystemError CheckFileSize(uint64_t size) {
    return size > kLargestFileSize ? SystemError(Refusal::TooLarge) : SystemError();
}
