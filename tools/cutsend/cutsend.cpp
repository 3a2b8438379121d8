// cutsend: converts a drawing with the engine in port mode and streams it to
// the cutter on a serial port, with the bytes and rules of Drovane, for
// Linux and macOS.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cut_box.h"
#include "cutter_port.h"
#include "drawing_check.h"
#include "engine/cut_job.h"
#include "engine/platform/output_file.h"
#include "engine/stream_to_port.h"
#include "exit_status.h"
#include "hpgl/pass_input.h"
#include "hpgl_report.h"
#include "plotter_form_check.h"
#include "resume_command.h"
#include "scratch_space.h"
#include "send_options.h"
#include "send_progress.h"
#include "stop_report.h"
#include "stop_signals.h"
#include "stream_contours.h"

namespace {

// 128 + the signal's number, as shells report a program a signal ended.
int ExitStopped() {
    if (*StopReason() != '\0') std::fprintf(stderr, "cutsend: %s\n", StopReason());
    return 128 + StopSignal();
}

int Complain(const std::string& problem, int status) {
    std::fprintf(stderr, "cutsend: %s\n", problem.c_str());
    return status;
}

// Only a cancel flag for the conversion: it is quick and shows nothing.
class ConversionLink : public SilentJobLink {
public:
    bool IsCancelRequested() override { return StopSignal() != 0; }
};

std::string Reason(const JobOutcome& outcome) {
    if (outcome.reason.refusal() == Refusal::TooLarge)
        return "its stream for the cutter would reach 4 GiB, more than can be sent";
    return outcome.ReasonText();
}

int ListAllPorts() {
    std::vector<PortListing> ports;
    if (const PortFailure failure = ListPorts(ports))
        return Complain(failure.Message(), kExitFailed);
    if (ports.empty()) std::puts("no serial ports found");
    for (const PortListing& port : ports)
        std::printf("%s\t%s\n", port.name.c_str(), port.description.c_str());
    return kExitDone;
}

}  // namespace

int main(int argc, char** argv) {
    SendOptions options;
    std::string problem;
    if (!ParseSendOptions(argc, argv, options, problem)) {
        std::fprintf(stderr, "cutsend: %s\n%s", problem.c_str(), kSendUsage);
        return kExitRefused;
    }
    if (options.help) {
        std::fputs(kSendHelp, stdout);
        return kExitDone;
    }
    if (options.version) {
        std::puts("cutsend " HARVEL_VERSION);
        return kExitDone;
    }
    if (options.list) return ListAllPorts();
    // The stop may wait for the line up to 2 s; a second Ctrl-C does not.
    CatchStopSignals(SecondStop::EndsAtOnce);

    // Refused at once, before the port is touched.
    if (const std::string refused = DrawingProblem(options.drawing); !refused.empty())
        return Complain(refused, kExitRefused);
    if (!options.hpgl && !options.plain) {
        if (const std::string misread = PlotterFormProblem(options.drawing); !misread.empty())
            return Complain(misread, kExitRefused);
    }
    ScratchFolder scratch;  // the stream
    if (const Failure failure = scratch.Create("cutsend"))
        return Complain(failure.Text(), kExitFailed);
    CutJob job;
    job.bToPort = 1;
    job.nOffsetUnits = options.offsetUnits;
    job.nOvercutUnits = options.overcutUnits;
    job.paths.plotFile = options.drawing;
    job.paths.streamFile = scratch / "stream.th0";
    job.strPath = job.paths.streamFile;
    ConversionLink conversionLink;
    job.pDlg = &conversionLink;
    std::optional<HpglPassInput> hpgl;
    if (options.hpgl)
        hpgl.emplace(options.drawing, options.plotArea, [] { return StopSignal() != 0; });
    OutputFile stream;  // written and sent through this one handle
    const JobOutcome converted = StopSignal() != 0 ? JobResult::Cancelled
                                 : hpgl            ? ConvertForSending(job, *hpgl, stream)
                                                   : ConvertForSending(job, stream);
    if (StopSignal() != 0) return ExitStopped();
    // What the HPGL reading left out is told once it has read the file whole.
    if (hpgl && !ReportHpglReading(stderr, "cutsend", *hpgl, converted, options.quiet))
        return kExitRefused;
    if (converted.result != JobResult::Completed)
        return Complain("cannot convert " + options.drawing + ": " + Reason(converted),
                        ConversionExitStatus(converted.reason));

    // Before the first byte: where the knife will go, and whether that fits.
    CutBox box;
    if (const SystemError unread = MeasureCut(stream, box))
        return Complain("cannot read the stream back: " + unread.Message(), kExitFailed);
    if (!options.quiet) std::fprintf(stderr, "cutsend: %s\n", CutBoxText(box).c_str());
    if (options.maxSize) {
        if (const std::string beyond = BeyondSheet(box, *options.maxSize); !beyond.empty())
            return Complain(beyond, kExitRefused);
    }

    // --from-contour: the header, then the stream from that contour's pen-up move.
    StreamGap gap;
    if (options.fromContour > 0) {
        StreamContours contours;
        if (SystemError error = ScanContours(stream, 0, options.fromContour, contours))
            return Complain("cannot read the stream back: " + error.Message(), kExitFailed);
        if (options.fromContour > contours.total)
            return Complain("--from-contour " + std::to_string(options.fromContour) +
                                ": the drawing has " + std::to_string(contours.total) + " contours",
                            kExitRefused);
        gap = {contours.headerEnd, contours.wantedAt};
    }

    CutterPort port;
    if (const PortFailure failure = port.Open(options.port)) {
        if (failure.kind != PortFailure::Kind::Missing)
            return Complain(failure.Message(), kExitRefused);
        std::vector<PortListing> ports;
        ListPorts(ports);  // the list as far as it goes
        return Complain(failure.Message() + "; ports here: " + PortListText(ports), kExitRefused);
    }

    if (StopSignal() != 0) return ExitStopped();  // asked before the first byte
    const ProgressStyle style = options.quiet             ? ProgressStyle::Quiet
                                : ::isatty(STDERR_FILENO) ? ProgressStyle::OneLine
                                                          : ProgressStyle::Lines;
    const uint64_t sending = stream.size() - (gap.to - gap.from);
    const SendProgress::PortProbes probes{[&port] {
                                              switch (port.State()) {
                                                  case CutterPort::LineState::Free:
                                                      return LineTracker::Cts::Free;
                                                  case CutterPort::LineState::Held:
                                                      return LineTracker::Cts::Held;
                                                  case CutterPort::LineState::Unknown: break;
                                              }
                                              return LineTracker::Cts::Unknown;
                                          },
                                          [&port] { return port.Queued(); }};
    SendProgress progress(style, sending, stderr, probes);
    job.hPort = port.fd();
    job.pDlg = &progress;
    StreamStop stop;
    const JobOutcome sent = StreamToPort(job, stream, gap, stop);
    progress.Finish(sent.result == JobResult::Completed);
    if (sent.result != JobResult::Completed) {
        StopFacts facts{{}, stop.taken, sending, stop.ending};
        // A resumed job stopped in its header stands at its first contour.
        const uint64_t offset = std::max(SentStream(stream, gap).StreamOffset(stop.taken), gap.to);
        if (!ScanContours(stream, offset, 0, facts.contours))
            ReportStop(stderr, facts, ResumeCommand(argc, argv, ResumeContour(facts.contours)));
    }
    switch (sent.result) {
        case JobResult::Completed: return kExitDone;
        case JobResult::Cancelled: return ExitStopped();
        case JobResult::PortWriteFailed:
            return Complain(options.port + ": write failed: " + Reason(sent), kExitFailed);
        default: return Complain("sending failed: " + Reason(sent), kExitFailed);
    }
}
