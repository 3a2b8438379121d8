#pragma once
#include "engine/job_link.h"

// What the user is told when a job failed, or null for a job that completed or
// was cancelled. A failed job leaves the exported plot file in place.
const wchar_t* JobFailureMessage(JobResult result);
