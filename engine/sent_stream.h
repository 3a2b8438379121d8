#pragma once
// The bytes of a finished stream that go to the port: the whole stream, or
// the stream with one stretch left out (the contours a resumed job skips).
#include <cstdint>

#include "engine/platform/system_error.h"

class OutputFile;

// The bytes [from, to) of the stream are not sent; empty when from == to.
struct StreamGap {
    uint32_t from = 0;
    uint32_t to = 0;
};

class SentStream {
public:
    // `stream` must outlive this; the gap lies within the stream.
    SentStream(const OutputFile& stream, StreamGap gap);

    // The bytes that go out, in all.
    uint32_t size() const { return size_; }
    // Where the byte sent at `position` stands in the whole stream.
    uint32_t StreamOffset(uint32_t position) const;
    // n bytes as sent from `position`, across the gap.
    SystemError ReadAt(uint32_t position, char* into, uint32_t n) const;

private:
    const OutputFile& stream_;
    StreamGap gap_;
    uint32_t size_;
};
