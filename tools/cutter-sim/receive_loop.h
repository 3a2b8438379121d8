#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/platform/failure.h"
#include "sim_options.h"
#include "stream_decoder.h"

struct ReceiveSettings {
    uint32_t bytesPerSecond = 0;  // 0: read as fast as the bytes come
    int quietMs = -1;             // after the first byte; -1: wait for ever
    int firstByteMs = -1;         // before the first byte; -1: wait for ever
    std::vector<HoldRule> holds;  // earliest first
};

// The settings the command line asks for.
ReceiveSettings ReceiveSettingsFrom(const SimOptions& options);

enum class ReceiveEnd { Footer, EndOfInput, QuietTimeout, NoFirstByte, ReadError, Stopped };

struct ReceiveReport {
    ReceiveEnd end = ReceiveEnd::EndOfInput;
    double seconds = 0;         // from the first byte to the end of the stream
    double idleSeconds = 0;     // after the first byte, waiting for more to come
    uint64_t ignoredBytes = 0;  // read after the footer
    uint64_t holds = 0;         // holds begun, a hold for good included
    double holdSeconds = 0;     // the line held
    SystemError error;          // why reading failed
};

const char* ReceiveEndText(ReceiveEnd end);

// Asks a running ReceiveStream to stop soon and report what it has. Safe to
// call from a signal handler.
void RequestReceiveStop();
// Whether a stop was asked for, for the work that follows receiving.
bool ReceiveStopRequested();

// Reads the stream from fd into the decoder until the footer, the end of the
// input (end of file, or a pty whose other side has closed) or a timeout.
// Holds stop reading as a cutter holding CTS does: the sender's writes wait
// once the buffers between are full. A hold for good still ends on a signal,
// a hang-up or the quiet timeout (counted from the hold's start).
// `record` sees every byte that the decoder took, in order.
ReceiveReport ReceiveStream(int fd, const ReceiveSettings& settings, StreamConsumer& decoder,
                            const std::function<void(const char*, size_t)>& record);
