// cutter-sim: a virtual cutter. It receives a cutter stream from a tty, pty,
// file or stdin, optionally at the pace of the real serial line, and tells what
// the knife did: a one-line summary on stdout and, on request, an SVG picture.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "blade_report.h"
#include "line_pacer.h"
#include "raw_tty.h"
#include "receive_loop.h"
#include "sim_options.h"
#include "svg_picture.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

constexpr int kExitClean = 0;
constexpr int kExitBadStream = 1;
constexpr int kExitTrouble = 2;

int Fail(const std::string& problem) {
    std::fprintf(stderr, "cutter-sim: %s\n", problem.c_str());
    return kExitTrouble;
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return !out.fail();
}

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string problem;
    if (!ParseSimOptions(argc, argv, options, problem)) {
        std::fprintf(stderr, "cutter-sim: %s\n%s", problem.c_str(), kSimUsage);
        return kExitTrouble;
    }
    if (options.help) {
        std::fputs(kSimUsage, stdout);
        return kExitClean;
    }

    InputPort input;
    if (!input.Open(options.input)) return Fail(input.error());
    // Interrupted, the run still reports what came and restores the tty.
    struct sigaction stop {};
    stop.sa_handler = [](int) { RequestReceiveStop(); };
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &stop, nullptr);
    FilePtr raw;
    if (!options.rawPath.empty()) {
        raw.reset(std::fopen(options.rawPath.c_str(), "wb"));
        if (!raw) return Fail(options.rawPath + ": " + std::strerror(errno));
    }

    std::optional<BladeTrail> blade;
    if (options.bladeMm >= 0) blade.emplace(options.bladeMm * kUnitsPerMm);
    std::optional<DrawingOutline> drawing;
    if (!options.drawingPath.empty() &&
        !ReadDrawing(options.drawingPath, drawing.emplace(), problem))
        return Fail(problem);

    SvgPicture picture;
    StrokeFanOut strokes;
    if (!options.svgPath.empty()) strokes.Add(&picture);
    if (blade) strokes.Add(&*blade);
    StreamDecoder decoder(&strokes);
    ReceiveSettings settings;
    settings.bytesPerSecond = LinePacer::BytesPerSecondAtBaud(options.baud);
    settings.quietMs = options.quietMs;
    settings.firstByteMs = options.firstByteMs;
    settings.holds = options.holds;
    bool rawFailed = false;
    const ReceiveReport report =
        ReceiveStream(input.fd(), settings, decoder, [&](const char* data, size_t n) {
            if (raw && std::fwrite(data, 1, n, raw.get()) != n) rawFailed = true;
        });

    const CutSummary& summary = decoder.summary();
    std::string line = FormatSummary(summary);
    // Only runs that hold say so: the plain summary stays as it always was.
    if (!options.holds.empty()) line += " holds=" + std::to_string(report.holds);
    if (blade) line += BladeSummary(*blade, drawing ? &*drawing : nullptr);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);

    // Timing goes to stderr, so the summary stays the same from run to run.
    std::fprintf(stderr, "cutter-sim: %llu bytes in %.3f s",
                 static_cast<unsigned long long>(summary.bytes), report.seconds);
    // Below a hundredth of a second a rate says nothing.
    if (report.seconds >= 0.01)
        std::fprintf(stderr, ", %.1f bytes/s", static_cast<double>(summary.bytes) / report.seconds);
    std::fprintf(stderr, ", line idle %.3f s; %s", report.idleSeconds, ReceiveEndText(report.end));
    if (report.error != 0) std::fprintf(stderr, ": %s", std::strerror(report.error));
    if (report.holds > 0)
        std::fprintf(stderr, "; held the line %llu times for %.3f s",
                     static_cast<unsigned long long>(report.holds), report.holdSeconds);
    if (report.ignoredBytes > 0)
        std::fprintf(stderr, "; %llu bytes after the footer ignored",
                     static_cast<unsigned long long>(report.ignoredBytes));
    std::fprintf(stderr, "\n");

    bool trouble = report.end == ReceiveEnd::ReadError;
    if (raw && (std::fflush(raw.get()) != 0 || rawFailed)) {
        Fail(options.rawPath + ": write failed");
        trouble = true;
    }
    if (!options.svgPath.empty()) {
        std::ofstream svg(options.svgPath, std::ios::binary | std::ios::trunc);
        if (blade) {
            BoundingBox frame = summary.box;
            const BoundingBox tip = blade->box();
            if (!tip.empty) {
                frame.Include({tip.minX, tip.minY});
                frame.Include({tip.maxX, tip.maxY});
            }
            picture.Write(svg, frame, BladeLayers(*blade, drawing ? &*drawing : nullptr));
        } else {
            picture.Write(svg, summary.box);
        }
        svg.close();
        if (svg.fail()) {
            Fail(options.svgPath + ": write failed");
            trouble = true;
        }
    }
    if (!options.summaryPath.empty() && !WriteText(options.summaryPath, line + "\n")) {
        Fail(options.summaryPath + ": write failed");
        trouble = true;
    }
    if (trouble) return kExitTrouble;
    return summary.Clean() ? kExitClean : kExitBadStream;
}
