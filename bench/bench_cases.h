#pragma once

// The measurements that run in a child process of their own:
//   copy INPUT OUTPUT
//   convert INPUT OUTPUT OFFSET OVERCUT TO_PORT
//   stream STREAM_FILE CUTTER_SIM BAUD
// Each prints one line of figures (see child_run.h). Returns the exit status.
int RunBenchCase(int argc, char** argv);
