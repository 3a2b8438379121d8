#pragma once
#include <cstdint>
#include <optional>

#include "engine/command_parse.h"
#include "engine/job_link.h"
#include "engine/output_sink.h"
#include "engine/platform/byte_reader.h"
#include "engine/progress_steps.h"

// The two passes over the plot file's bytes, free of any file handling so that
// they read an opened file as well as bytes in memory. `length` is the input's
// length when it was opened; an input that ends before it fails the pass.

// Pass 1: the drawing's extent over every command. Stops early on cancel.
// Without a length it reads to the input's end.
JobOutcome RunExtentPass(ByteReader& input, std::optional<uint32_t> length, JobLink& link,
                         ProgressSteps& progress, PlotExtent& extent);

struct CutSettings {
    int32_t nOffsetUnits = 0;
    int32_t nOvercutUnits = 0;
    bool toPort = false;
};

// Pass 2: header, every point mapped by pass 1's extent (repeats dropped)
// through the contour cutter, footer. Stops early on cancel (no footer), on a
// failed write or on a failed read.
JobOutcome RunCutPass(ByteReader& input, uint32_t length, const PlotExtent& extent,
                      const CutSettings& settings, BufferedOutput& out, JobLink& link,
                      ProgressSteps& progress);
