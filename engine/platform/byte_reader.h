#pragma once
// Where a pass's input bytes come from: the plot file on disk, or bytes in
// memory for tests and fuzzing. The reading loop asks for a block at a time.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/platform/system_error.h"

class ByteReader {
public:
    virtual ~ByteReader() = default;
    // Reads up to n bytes from where the last read ended; `got` is 0 at the end.
    virtual SystemError ReadSome(uint8_t* into, size_t n, size_t& got) = 0;
};

// Bytes in memory, handed out at most `piece` bytes at a time, so that tests
// can put the ends of the reading loop's blocks anywhere.
class MemoryReader : public ByteReader {
public:
    MemoryReader(const uint8_t* data, size_t size, size_t piece = SIZE_MAX)
        : data_(data), size_(size), piece_(piece == 0 ? 1 : piece) {}
    SystemError ReadSome(uint8_t* into, size_t n, size_t& got) override {
        got = std::min({n, piece_, size_ - at_});
        if (got > 0) std::memcpy(into, data_ + at_, got);
        at_ += got;
        return {};
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t piece_;
    size_t at_ = 0;
};
