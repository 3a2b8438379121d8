// Counts a cutter stream's contours by their pen-up moves, read back in blocks through the
// stream's handle: how many, which one a byte lies in, where one begins.
#include "stream_contours.h"

#include <cstring>
#include <vector>

#include "engine/move_writer.h"
#include "engine/platform/output_file.h"

namespace {

constexpr uint32_t kBlock = 64 * 1024;
constexpr uint64_t kFooterLength = sizeof kFooter - 1;

// Where the ending begins; the stream's size when it has none.
SystemError EndingStart(const OutputFile& stream, uint64_t& start) {
    start = stream.size();
    if (stream.size() < kFooterLength) return {};
    char last[kFooterLength];
    const uint64_t at = stream.size() - kFooterLength;
    if (SystemError error = stream.ReadAt(at, last, kFooterLength)) return error;
    if (std::memcmp(last, kFooter, kFooterLength) == 0) start = at;
    return {};
}

}  // namespace

SystemError ScanContours(const OutputFile& stream, uint64_t offset, uint32_t wanted,
                         StreamContours& contours) {
    contours = {};
    uint64_t ending = 0;
    if (SystemError error = EndingStart(stream, ending)) return error;
    std::vector<char> block(kBlock);
    bool commandStarts = true;
    for (uint64_t at = 0; at < ending; at += kBlock) {
        const auto n = static_cast<uint32_t>(ending - at < kBlock ? ending - at : kBlock);
        if (SystemError error = stream.ReadAt(at, block.data(), n)) return error;
        for (uint32_t i = 0; i < n; ++i) {
            const char c = block[i];
            if (commandStarts && c == 'U') {
                ++contours.total;
                if (at + i <= offset) contours.inFlight = contours.total;
                if (contours.total == wanted) contours.wantedAt = static_cast<uint32_t>(at + i);
            }
            commandStarts = c == ';';
            if (commandStarts && contours.headerEnd == 0)
                contours.headerEnd = static_cast<uint32_t>(at + i + 1);
        }
    }
    return {};
}
