#pragma once
#include "cut_job.h"
#include "cutter_line.h"

class OutputFile;

// Sends the finished stream to the port in chunks of 1024 bytes, read back
// through the handle that wrote it (never reopened by name), with progress,
// the byte counter and cancel between chunks, then waits until the port has
// sent them all. A cutter holding the line is waited for as long as it holds
// it, with cancel answered meanwhile; only a write the system reports as
// failed ends the job as a failure.
JobOutcome StreamToPort(const CutJob& job, const OutputFile& stream);
