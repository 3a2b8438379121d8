#pragma once
// How a job ended, with the operating system's reason when a system call
// failed. The dialog is told only the result; tools print the reason too.
#include <cstdint>
#include <string>

#include "engine/platform/system_error.h"

// The dialog receives it as the done notification's wParam: 0 for a job that
// ran to its end, non-zero otherwise.
enum class JobResult : int32_t {
    Completed = 0,
    Cancelled = 1,
    InputUnreadable = 2,    // the plot file could not be opened or read in one of the passes
    OutputNotCreated = 3,   // the output or stream file could not be created
    OutputWriteFailed = 4,  // writing the output failed part way (disk full)
    StreamUnreadable = 5,   // the finished stream file could not be opened again
    PortWriteFailed = 6,    // the port refused a chunk or went away
    InputChanged = 7,       // the plot file shrank, or changed its length, while the job read it
    InputRefused = 8,       // the input's own reader would not take it (it says why)
};

struct JobOutcome {
    JobResult result = JobResult::Completed;
    SystemError reason;  // the system's reason or the project's refusal; empty for a plain cancel

    JobOutcome() = default;
    JobOutcome(JobResult r, SystemError why = {}) : result(r), reason(why) {}

    // Why the job failed, for a person to read.
    std::string ReasonText() const { return reason ? reason.Message() : "failed"; }
};
