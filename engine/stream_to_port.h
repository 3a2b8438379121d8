#pragma once
#include "engine/cut_job.h"
#include "engine/cutter_line.h"
#include "engine/sent_stream.h"
#include "engine/stream_stop.h"

class OutputFile;

// Sends the finished stream to the port in chunks of 1024 bytes, read back
// through the handle that wrote it (never reopened by name), with progress,
// the byte counter and cancel between chunks, then waits until the port has
// sent them all. A cutter holding the line is waited for as long as it holds
// it, with cancel answered meanwhile; only a write the system reports as
// failed ends the job as a failure. A cancel ends the stream at a command
// boundary with the knife up (see EndStoppedStream).
JobOutcome StreamToPort(const CutJob& job, const OutputFile& stream);

// The same for the stream without the bytes of `gap`; where a stream that did
// not run to its end stopped, and how it was left, goes to `stop`.
JobOutcome StreamToPort(const CutJob& job, const OutputFile& stream, StreamGap gap,
                        StreamStop& stop);
