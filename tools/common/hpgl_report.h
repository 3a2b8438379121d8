#pragma once
// What the tools tell their user after reading an HPGL file: what was left
// out, and why a file is not cut at all. One place, so both tools say the same.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/job_outcome.h"
#include "hpgl/pass_input.h"
#include "hpgl/reader.h"

// One line for each kind of thing left out ("skipped DF 1, VS 2", "dropped 2
// points outside the 32-bit range", ...); none when everything was read.
std::vector<std::string> HpglNotes(const HpglReading& reading);

// Why the file must not be cut; "" when it may be.
std::string HpglRefusalText(const HpglReading& reading);

// Prints the refusal and, unless `quiet`, the notes, each as "TOOL: FILE: LINE"
// on `out`. False when the file is refused.
bool ReportHpglReading(std::FILE* out, const char* tool, const std::string& file,
                       const HpglReading& reading, bool quiet);

// The same after a conversion over `input`, once its first pass has read the
// file whole: nothing is said of a reading that failed, changed or stopped.
bool ReportHpglReading(std::FILE* out, const char* tool, const HpglPassInput& input,
                       const JobOutcome& outcome, bool quiet);
