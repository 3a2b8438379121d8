// Runs cutter-sim over a sequence of jobs: receives them into one JobSequence, prints a line
// per job, writes the raw bytes, the summary and a picture of every job with numbered contours.
#include "sequence_mode.h"

#include <cstdio>
#include <new>
#include <sstream>

#include "job_sequence.h"
#include "receive_loop.h"
#include "sim_file.h"
#include "svg_picture.h"

namespace {

// Every job's strokes in one picture, framed around all of them.
Failure DrawSequence(SimFile& recorded, const std::string& svgPath) {
    std::string svg;
    try {
        SvgPicture picture;
        JobSequence sequence(&picture);
        uint64_t bytes = 0;
        if (Failure error = recorded.Decode(sequence, bytes)) return error;
        BoundingBox frame;
        for (const SequenceJob& job : sequence.jobs()) {
            if (!job.summary.box.empty) {
                frame.Include({job.summary.box.minX, job.summary.box.minY});
                frame.Include({job.summary.box.maxX, job.summary.box.maxY});
            }
            if (job.strayTo) frame.Include(*job.strayTo);
        }
        std::ostringstream out;
        picture.Write(out, frame);
        svg = std::move(out).str();
    } catch (const std::bad_alloc&) {
        return Failure(svgPath + ": the picture ran out of memory");
    }
    return WriteTextFile(svgPath, svg);
}

}  // namespace

int ReceiveJobSequence(const SimOptions& options, int fd) {
    auto fail = [](const Failure& error) {
        std::fprintf(stderr, "cutter-sim: %s\n", error.Text().c_str());
        return kSimExitTrouble;
    };
    SimFile raw;
    if (!options.rawPath.empty()) {
        if (Failure error = raw.Open(options.rawPath, "wb")) return fail(error);
    }
    SimFile recorded;
    Failure recordError;
    if (!options.svgPath.empty()) recordError = recorded.OpenScratch();

    JobSequence sequence;
    Failure rawError;
    const ReceiveReport report =
        ReceiveStream(fd, ReceiveSettingsFrom(options), sequence, [&](const char* data, size_t n) {
            if (raw.isOpen() && !rawError) rawError = raw.Write(data, n);
            if (recorded.isOpen() && !recordError) recordError = recorded.Write(data, n);
        });
    if (raw.isOpen() && !rawError) rawError = raw.Flush();
    if (recorded.isOpen() && !recordError) recordError = recorded.Flush();

    std::string lines;
    bool allClean = true;
    uint64_t bytes = 0;
    for (size_t i = 0; i < sequence.jobs().size(); ++i) {
        const SequenceJob& job = sequence.jobs()[i];
        lines += FormatSequenceJob(i + 1, job) + "\n";
        allClean = allClean && job.Clean();
        bytes += job.summary.bytes;
    }
    std::fputs(lines.c_str(), stdout);
    std::fflush(stdout);
    std::fprintf(stderr, "cutter-sim: %zu jobs, %llu bytes in %.3f s; %s", sequence.jobs().size(),
                 static_cast<unsigned long long>(bytes), report.seconds,
                 ReceiveEndText(report.end));
    if (report.error) std::fprintf(stderr, ": %s", report.error.Message().c_str());
    std::fprintf(stderr, "\n");

    bool trouble = report.end == ReceiveEnd::ReadError;
    for (const Failure* error : {&rawError, &recordError}) {
        if (*error) {
            fail(*error);
            trouble = true;
        }
    }
    if (!options.summaryPath.empty()) {
        if (Failure error = WriteTextFile(options.summaryPath, lines)) {
            fail(error);
            trouble = true;
        }
    }
    bool reportFailed = false;
    if (!options.svgPath.empty() && !recordError) {
        if (Failure error = DrawSequence(recorded, options.svgPath)) {
            fail(error);
            reportFailed = true;
        }
    }
    if (trouble) return kSimExitTrouble;
    if (!allClean) return kSimExitBadStream;
    return reportFailed ? kSimExitReportFailed : kSimExitClean;
}
