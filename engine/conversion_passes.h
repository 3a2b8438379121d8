#pragma once
#include <cstdint>
#include <optional>

#include "command_parse.h"
#include "job_link.h"
#include "output_sink.h"
#include "progress_steps.h"

// The two passes over the plot file's bytes, free of any file handling so that
// they run on a mapped view as well as on bytes in memory.

// Pass 1: the drawing's extent over every command, or nothing when the link
// asks to stop.
std::optional<PlotExtent> RunExtentPass(const uint8_t* data, uint32_t length, JobLink& link,
                                        ProgressSteps& progress);

struct CutSettings {
    int32_t nOffsetUnits = 0;
    int32_t nOvercutUnits = 0;
    bool toPort = false;
};

// Pass 2: header, every point mapped by pass 1's extent (repeats dropped)
// through the contour cutter, footer. Stops early on cancel (no footer) or on a
// failed write (out.error() says why).
JobResult RunCutPass(const uint8_t* data, uint32_t length, const PlotExtent& extent,
                     const CutSettings& settings, BufferedOutput& out, JobLink& link,
                     ProgressSteps& progress);
