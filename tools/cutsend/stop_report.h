#pragma once
// What cutsend tells when a job stops before its end (a signal, a port that
// fails): the contour in flight and how many there are, the bytes sent, how
// the cutter was left, and the command that goes on from there.
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/stream_stop.h"
#include "stream_contours.h"

struct StopFacts {
    StreamContours contours;  // inFlight: the contour the stop came in
    uint64_t bytesSent = 0;   // of what this job sends
    uint64_t bytesTotal = 0;
    StopEnding ending = StopEnding::NothingSent;
};

// The contour to go on from: the one in flight; before the first contour's
// move, the first.
uint32_t ResumeContour(const StreamContours& contours);

// "51,200": digits in groups of three.
std::string GroupedNumber(uint64_t value);

void ReportStop(std::FILE* out, const StopFacts& facts, const std::string& resumeCommand);
