#pragma once
// The contours of a finished cutter stream. A contour begins with its pen-up
// move ("U...;"), so the knife is up wherever one begins; the ending's move
// home is none. cutsend counts them to say where a job stopped and to send a
// job again from one of them.
#include <cstdint>

#include "engine/platform/system_error.h"

class OutputFile;

struct StreamContours {
    uint32_t total = 0;      // contours in the stream
    uint32_t headerEnd = 0;  // the first byte after the header ("CDR;")
    uint32_t inFlight = 0;   // contours begun at or before the asked offset
    uint32_t wantedAt = 0;   // where the asked contour's pen-up move begins
};

// One pass over the stream: the totals, the contour in flight when the byte at
// stream offset `offset` was the next to go, and where contour `wanted`
// (1-based; 0: none) begins.
SystemError ScanContours(const OutputFile& stream, uint64_t offset, uint32_t wanted,
                         StreamContours& contours);
