#pragma once
// A stream stopped part way ends where the cutter can take the next job: the
// rest of the command in flight, then the stream's own ending, knife up.
#include <cstdint>
#include <string>

#include "engine/platform/port_writer.h"
#include "engine/sent_stream.h"

// How a stream that stopped before its end was left on the line.
enum class StopEnding {
    NothingSent,  // no byte of the stream had gone: the cutter is as it was
    Ended,        // the rest of the command and the ending went out: knife up
    LineHeld,     // the cutter held the line too long: what was queued was
                  // thrown away, and the cutter may hold part of a command
    NotEnded,     // the port or the stream failed: nothing more could be sent
};

struct StreamStop {
    uint32_t taken = 0;  // bytes of the sent stream the port took before the stop
    StopEnding ending = StopEnding::NothingSent;
};

// The bytes that bring a stream of which the port took `taken` bytes to a
// command boundary with the knife up: the rest of the command in flight (up
// to and including its ';') and the ending; inside the ending, its rest.
SystemError StopTail(const SentStream& stream, uint32_t taken, std::string& tail);

// Sends the tail behind what the driver still holds and waits until all has
// left, for kStopTailWaitMs at most; past that, throws the queue away.
StopEnding EndStoppedStream(PortWriter& port, const std::string& tail);
