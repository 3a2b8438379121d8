#pragma once
// The serial line to the cutter and how a job is sent over it: the one home of
// these facts for Drovane, the tools and the tests.
#include <cstdint>

namespace harvel {

// 38400 baud, 8 data bits, no parity, one stop bit; the cutter holds CTS low
// while it cannot take more bytes, and output waits for it.
inline constexpr uint32_t kCutterBaudRate = 38400;
inline constexpr uint8_t kCutterDataBits = 8;
inline constexpr uint8_t kCutterStopBits = 1;

// The stream goes out in chunks of this size.
inline constexpr uint32_t kPortChunkSize = 1024;
// A stopped job's last bytes (the rest of the command in flight and the
// stream's ending) are waited for this long at most while the cutter holds
// the line; then what is queued is thrown away and the job ends.
inline constexpr uint32_t kStopTailWaitMs = 2000;
// The byte counter the dialog shows steps by this much per chunk sent, whatever
// the chunk's size: it runs ahead of the bytes by 100 per chunk.
inline constexpr int32_t kCounterStepPerChunk = 1024 + 100;

}  // namespace harvel
