// cutter-sim: a virtual cutter. It receives a cutter stream from a tty, pty,
// file or stdin, optionally at the pace of the real serial line, and tells what
// the knife did: a one-line summary on stdout and, on request, an SVG picture.

#include <csignal>
#include <cstdio>
#include <string>

#include "blade_report.h"
#include "line_pacer.h"
#include "raw_tty.h"
#include "receive_loop.h"
#include "sequence_mode.h"
#include "sim_file.h"
#include "sim_options.h"
#include "stream_reports.h"

namespace {

void Report(const std::string& problem) {
    std::fprintf(stderr, "cutter-sim: %s\n", problem.c_str());
}

int Fail(const Failure& error) {
    Report(error.Text());
    return kSimExitTrouble;
}

void ReportTiming(const CutSummary& summary, const ReceiveReport& report) {
    std::fprintf(stderr, "cutter-sim: %llu bytes in %.3f s",
                 static_cast<unsigned long long>(summary.bytes), report.seconds);
    // Below a hundredth of a second a rate says nothing.
    if (report.seconds >= 0.01)
        std::fprintf(stderr, ", %.1f bytes/s", static_cast<double>(summary.bytes) / report.seconds);
    std::fprintf(stderr, ", line idle %.3f s; %s", report.idleSeconds, ReceiveEndText(report.end));
    if (report.error) std::fprintf(stderr, ": %s", report.error.Message().c_str());
    if (report.holds > 0)
        std::fprintf(stderr, "; held the line %llu times for %.3f s",
                     static_cast<unsigned long long>(report.holds), report.holdSeconds);
    if (report.ignoredBytes > 0)
        std::fprintf(stderr, "; %llu bytes after the footer ignored",
                     static_cast<unsigned long long>(report.ignoredBytes));
    std::fprintf(stderr, "\n");
}

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string problem;
    if (!ParseSimOptions(argc, argv, options, problem)) {
        std::fprintf(stderr, "cutter-sim: %s\n%s", problem.c_str(), kSimUsage);
        return kSimExitTrouble;
    }
    if (options.help) {
        std::fputs(kSimUsage, stdout);
        return kSimExitClean;
    }
    if (options.version) {
        std::puts("cutter-sim " HARVEL_VERSION);
        return kSimExitClean;
    }

    InputPort input;
    if (Failure error = input.Open(options.input)) return Fail(error);
    // Interrupted, the run still reports what came and restores the tty.
    struct sigaction stop {};
    stop.sa_handler = [](int) { RequestReceiveStop(); };
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &stop, nullptr);
    if (options.jobs) return ReceiveJobSequence(options, input.fd());
    SimFile raw;
    if (!options.rawPath.empty()) {
        if (Failure error = raw.Open(options.rawPath, "wb")) return Fail(error);
    }
    if (!options.drawingPath.empty()) {
        if (Failure error = ReadDrawing(options.drawingPath, nullptr)) return Fail(error);
    }
    // The picture and the blade are made from a copy once the stream is in,
    // so that receiving needs little memory and they cannot spoil its verdict.
    const bool reports = options.bladeMm >= 0 || !options.svgPath.empty();
    SimFile recorded;
    Failure recordError;
    if (reports) recordError = recorded.OpenScratch();

    StreamDecoder decoder;
    const ReceiveSettings settings = ReceiveSettingsFrom(options);
    Failure rawError;
    const ReceiveReport report =
        ReceiveStream(input.fd(), settings, decoder, [&](const char* data, size_t n) {
            if (raw.isOpen() && !rawError) rawError = raw.Write(data, n);
            if (recorded.isOpen() && !recordError) recordError = recorded.Write(data, n);
        });
    if (raw.isOpen() && !rawError) rawError = raw.Flush();
    if (recorded.isOpen() && !recordError) recordError = recorded.Flush();

    // The stream's own verdict first: it stands whatever the reports do.
    const CutSummary& summary = decoder.summary();
    std::string line = FormatSummary(summary);
    // Only runs that hold say so: the plain summary stays as it always was.
    if (!options.holds.empty()) line += " holds=" + std::to_string(report.holds);
    bool trouble = report.end == ReceiveEnd::ReadError;
    if (rawError) {
        Report(rawError.Text());
        trouble = true;
    }
    // Should a report go wrong, even fatally, this file still tells the verdict.
    Failure summaryError;
    if (!options.summaryPath.empty())
        summaryError = WriteTextFile(options.summaryPath, line + "\n");
    // Timing goes to stderr, so the summary stays the same from run to run.
    ReportTiming(summary, report);

    bool reportFailed = false;
    auto reportFailure = [&](const Failure& error) {
        Report(error.Text());
        reportFailed = true;
    };
    if (recordError) reportFailure(recordError);
    BladeMeasure measure;
    if (options.bladeMm >= 0) {
        Failure error = recordError;  // reported already
        if (!error) {
            error = MeasureBlade(recorded, summary, options.bladeMm, options.drawingPath, measure);
            if (error) reportFailure(error);
        }
        line += error ? std::string(" blade=failed") : measure.summary;
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (!options.svgPath.empty() && !recordError) {
        if (Failure error = DrawPicture(recorded, summary, &measure, options.svgPath))
            reportFailure(error);
    }
    if (!options.summaryPath.empty() && !summaryError && options.bladeMm >= 0)
        summaryError = WriteTextFile(options.summaryPath, line + "\n");
    if (summaryError) {
        Report(summaryError.Text());
        trouble = true;
    }
    if (trouble) return kSimExitTrouble;
    if (!summary.Clean()) return kSimExitBadStream;
    return reportFailed ? kSimExitReportFailed : kSimExitClean;
}
