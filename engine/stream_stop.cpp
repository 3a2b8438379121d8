// Ending a stopped stream between two commands with the knife up: the rest of the command in
// flight and the ending, waited for a bounded time, so that the cutter's next job starts clean.
#include "engine/stream_stop.h"

#include <chrono>
#include <cstring>

#include "engine/cutter_line.h"
#include "engine/move_writer.h"

namespace {

constexpr uint32_t kFooterLength = sizeof kFooter - 1;
constexpr uint32_t kReadPiece = 64;  // longer than any command

// Where the stream's ending begins; its length when it has none.
SystemError FooterStart(const SentStream& stream, uint32_t& start) {
    start = stream.size();
    if (stream.size() < kFooterLength) return {};
    char last[kFooterLength];
    if (SystemError error = stream.ReadAt(stream.size() - kFooterLength, last, kFooterLength))
        return error;
    if (std::memcmp(last, kFooter, kFooterLength) == 0) start = stream.size() - kFooterLength;
    return {};
}

}  // namespace

SystemError StopTail(const SentStream& stream, uint32_t taken, std::string& tail) {
    tail.clear();
    if (taken == 0) return {};
    uint32_t footer = 0;
    if (SystemError error = FooterStart(stream, footer)) return error;
    // Stopped inside the ending: its rest is all that is missing.
    const bool inEnding = taken >= footer;
    const uint32_t restEnd = inEnding ? stream.size() : footer;
    char previous = ';';
    if (!inEnding) {
        if (SystemError error = stream.ReadAt(taken - 1, &previous, 1)) return error;
    }
    // The rest of the command in flight, up to and including its ';'.
    uint32_t position = taken;
    char piece[kReadPiece];
    while ((inEnding || previous != ';') && position < restEnd) {
        const uint32_t n = restEnd - position < kReadPiece ? restEnd - position : kReadPiece;
        if (SystemError error = stream.ReadAt(position, piece, n)) return error;
        const void* end = inEnding ? nullptr : std::memchr(piece, ';', n);
        const uint32_t used =
            end != nullptr ? static_cast<uint32_t>(static_cast<const char*>(end) - piece) + 1 : n;
        tail.append(piece, used);
        position += used;
        if (end != nullptr) previous = ';';
    }
    if (!inEnding) tail += kFooter;
    return {};
}

StopEnding EndStoppedStream(PortWriter& port, const std::string& tail) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(harvel::kStopTailWaitMs);
    auto pastDeadline = [deadline] { return Clock::now() >= deadline; };
    const CancelCheck waitedEnough(pastDeadline);
    PortResult sent = port.Write(reinterpret_cast<const uint8_t*>(tail.data()),
                                 static_cast<uint32_t>(tail.size()), waitedEnough);
    if (sent.status == PortStatus::Done) sent = port.Drain(waitedEnough);
    switch (sent.status) {
        case PortStatus::Done: return StopEnding::Ended;
        case PortStatus::Cancelled: break;
        case PortStatus::Failed: return StopEnding::NotEnded;
    }
    // Thrown away, the queue cannot keep the port from closing.
    port.Discard();
    return StopEnding::LineHeld;
}
