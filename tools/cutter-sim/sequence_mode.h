#pragma once
// cutter-sim --jobs: several jobs in a row on one line, as a cutter that
// stays on between them receives them, reported job by job.
#include "sim_options.h"

// Receives from fd until the input ends, prints one line per job and returns
// the exit status.
int ReceiveJobSequence(const SimOptions& options, int fd);
