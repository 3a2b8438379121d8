// The bytes a stream sends: its whole length, or the header and the rest of a resumed job,
// read back through the stream's own handle with positions counted as sent.
#include "engine/sent_stream.h"

#include "engine/platform/output_file.h"

SentStream::SentStream(const OutputFile& stream, StreamGap gap)
    : stream_(stream),
      gap_(gap),
      size_(static_cast<uint32_t>(stream.size()) - (gap.to - gap.from)) {}

uint32_t SentStream::StreamOffset(uint32_t position) const {
    return position < gap_.from ? position : position + (gap_.to - gap_.from);
}

SystemError SentStream::ReadAt(uint32_t position, char* into, uint32_t n) const {
    if (position < gap_.from && position + n > gap_.from) {
        const uint32_t before = gap_.from - position;
        if (SystemError error = stream_.ReadAt(position, into, before)) return error;
        return stream_.ReadAt(gap_.to, into + before, n - before);
    }
    return stream_.ReadAt(StreamOffset(position), into, n);
}
