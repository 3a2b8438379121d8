#pragma once
// How a job ended, with the operating system's reason when a system call
// failed. The dialog is told only the result; tools print the reason too.
#include "job_link.h"
#include "platform/system_error.h"

struct JobOutcome {
    JobResult result = JobResult::Completed;
    SystemError reason;  // empty unless a system call failed

    JobOutcome() = default;
    JobOutcome(JobResult r, SystemError why = {}) : result(r), reason(why) {}
};
