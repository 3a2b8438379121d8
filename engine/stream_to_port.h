#pragma once
#include "cut_job.h"
#include "cutter_line.h"

using harvel::kPortChunkSize;

// Sends the finished stream file to the port in chunks of 1024 bytes straight
// from its read-only view, with progress, the byte counter and cancel between
// chunks. A chunk that fails or stays pending past the wait ends the streaming.
JobOutcome StreamToPort(const CutJob& job);
