#pragma once
#include <cstdint>

#include "job_link.h"
#include "output_sink.h"
#include "progress_steps.h"

// The two passes over the plot file's bytes, free of any file handling so that
// they run on a mapped view as well as on bytes in memory.

// Pass 1: resets the process-wide extent and widens it by every command.
// Returns Cancelled when the link asks to stop, else Completed.
JobResult RunExtentPass(const uint8_t* data, uint32_t length, JobLink& link,
                        ProgressSteps& progress);

struct CutSettings {
    int32_t nOffsetUnits = 0;
    int32_t nOvercutUnits = 0;
    bool toPort = false;
};

// Pass 2: header, every mapped point (repeats dropped) through the contour
// cutter, footer. Stops early on cancel (no footer) or on a failed write.
JobResult RunCutPass(const uint8_t* data, uint32_t length, const CutSettings& settings,
                     BufferedOutput& out, JobLink& link, ProgressSteps& progress);
