// cutconv: runs the sender's conversion job on any plot file, for developers,
// tests and Linux users; --help gives its manual.

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>

#include "drawing_check.h"
#include "engine/cut_job.h"
#include "engine/platform/same_file.h"
#include "exit_status.h"
#include "hpgl/pass_input.h"
#include "hpgl_report.h"
#include "length_option.h"
#include "plot_area_option.h"
#include "plotter_form_check.h"
#include "stop_signals.h"
#include "terminal_lock.h"

namespace {

const char kUsage[] =
    "Usage: cutconv [--port] [--hpgl [--plot-area WxH] | --plain] [--offset MM] [--overcut MM] "
    "[--force] INPUT OUTPUT\n";

const char kHelp[] =
    "Usage: cutconv [--port] [--hpgl [--plot-area WxH] | --plain] [--offset MM] [--overcut MM] "
    "[--force] INPUT OUTPUT\n"
    "Convert the plot file INPUT for the drag-knife cutter and write OUTPUT: the\n"
    "bytes Harvel's Windows sender writes or sends for the same drawing and\n"
    "settings.\n"
    "\n"
    "  --port           write the cutter's stream (\"CDR;\" first, coordinates\n"
    "                   shifted for the cutter) instead of a plot file (\"IN;\")\n"
    "  --hpgl           read general HPGL: pen moves with any number of points per\n"
    "                   command, scaling (IP, SC, IR, RO, IW), arcs, circles,\n"
    "                   rectangles, polygon mode and encoded polylines; other\n"
    "                   instructions are skipped and counted, labels are not cut,\n"
    "                   and an instruction that would change the cut's geometry\n"
    "                   but is not read refuses the file (exit 2); decimals round\n"
    "                   to the nearest unit, an exact half away from zero\n"
    "  --plot-area WxH  with --hpgl: the plotter's plotting area in millimetres\n"
    "                   (e.g. 250x180), for files scaled to it (SC without IP)\n"
    "  --plain          read INPUT one point per pen command (PU12,34;) whatever\n"
    "                   else it holds, as the Windows sender reads it\n"
    "  --offset MM      knife offset in millimetres (0 or absent: off)\n"
    "  --overcut MM     overcut in millimetres (0 or absent: off)\n"
    "  --force          take a knife offset above 2 mm or an overcut above 20 mm\n"
    "  --help           display this help and exit\n"
    "  --version        output version information and exit\n"
    "\n"
    "Lengths:\n"
    "  A length is a number of millimetres from 0 to 1158, rounded to plotter\n"
    "  units of 1/40 mm, or whole plotter units with the suffix pu (20pu is\n"
    "  0.5 mm). A negative length is refused, as by cutsend.\n"
    "\n"
    "Input:\n"
    "  INPUT is a plot file with one pen command per point (PU/PD), as the\n"
    "  exporter writes it, or with --hpgl a file from another program. Without\n"
    "  --hpgl or --plain, a drawing that a plotter would read differently is\n"
    "  refused (exit 2), naming what was found and where. INPUT must be a\n"
    "  regular file below 4 GiB; a FIFO, a device or a folder is refused at\n"
    "  once, and so is a drawing of 4 GiB or more.\n"
    "\n"
    "Output:\n"
    "  A regular OUTPUT (or a new one) is written as OUTPUT.partial beside it,\n"
    "  flushed to disk and then renamed to OUTPUT, so OUTPUT is either the older\n"
    "  file or the whole conversion, never part of it. If OUTPUT is a symbolic\n"
    "  link, the file it names is replaced. While one cutconv writes OUTPUT,\n"
    "  another one to the same OUTPUT is refused. An existing OUTPUT that is not\n"
    "  a regular file (a FIFO, a terminal, a serial port) is written in place,\n"
    "  and so is /dev/stdout (or /dev/fd/N), whatever it is, at its own\n"
    "  position; a folder or a disk device is refused. An OUTPUT that is the\n"
    "  INPUT file itself (by any name or link) is refused before anything is\n"
    "  written.\n"
    "\n"
    "  With --hpgl, INPUT is read once for each of the two passes and its pen\n"
    "  commands are made as they are read: no other file is written.\n"
    "\n"
    "Signals:\n"
    "  SIGINT, SIGTERM and SIGHUP stop the conversion: OUTPUT.partial is\n"
    "  removed, an older OUTPUT is kept, and the exit status is\n"
    "  128 plus the signal's number.\n"
    "\n"
    "Exit status:\n"
    "  0    OUTPUT holds the whole conversion\n"
    "  1    the conversion failed on its way (OUTPUT not writable or being\n"
    "       written by another conversion, INPUT changed while it was read); the\n"
    "       reason is printed and OUTPUT is unchanged\n"
    "  2    bad arguments, a length beyond reason without --force, a port that\n"
    "       another program is using, an OUTPUT that is a folder, a disk device\n"
    "       or INPUT itself, or a drawing refused: missing, unreadable, not a\n"
    "       regular file, 4 GiB or more, or not read as it stands (the message\n"
    "       names what was found and where)\n"
    "  128+N  stopped by signal N\n"
    "\n"
    "Examples:\n"
    "  cutconv --offset 0.5 --overcut 7.5 sign.plt sign-cut.plt\n"
    "\n"
    "  cutconv --port --hpgl --offset 0.25 --overcut 1 drawing.hpgl drawing.th0\n"
    "\n"
    "  cutconv --port --hpgl from-inkscape.hpgl /dev/stdout | od -c\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "cutconv: %s\n%s", problem.c_str(), kUsage);
    return kExitRefused;
}

int Fail(const std::string& what, const JobOutcome& outcome) {
    std::fprintf(stderr, "cutconv: %s: %s\n", what.c_str(), outcome.ReasonText().c_str());
    return ConversionExitStatus(outcome.reason);
}

// What could not be done, as in "cannot write out.plt: No space left on device".
const char* WhatFailed(JobResult result) {
    switch (result) {
        case JobResult::InputUnreadable:
        case JobResult::InputChanged: return "cannot read";
        case JobResult::OutputNotCreated: return "cannot create";
        default: return "cannot write";
    }
}

// A stop signal is the cancel: the job ends at its next check.
class StopLink : public SilentJobLink {
public:
    bool IsCancelRequested() override { return StopSignal() != 0; }
};

struct Arguments {
    bool port = false;
    bool hpgl = false;
    bool plain = false;
    bool force = false;
    bool help = false;
    bool version = false;
    int32_t offset = 0;
    int32_t overcut = 0;
    std::optional<HpglPoint> plotArea;
    const char* files[2] = {nullptr, nullptr};
};

// 0 when read, else the exit status after the problem is printed.
int ReadArguments(int argc, char** argv, Arguments& args) {
    int fileCount = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--port") {
            args.port = true;
        } else if (arg == "--hpgl") {
            args.hpgl = true;
        } else if (arg == "--plain") {
            args.plain = true;
        } else if (arg == "--force") {
            args.force = true;
        } else if (arg == "--plot-area") {
            HpglPoint area;
            if (i + 1 >= argc || !ParsePlotArea(argv[i + 1], area))
                return Usage("--plot-area wants WIDTHxHEIGHT in millimetres");
            args.plotArea = area;
            ++i;
        } else if (arg == "--help") {
            args.help = true;
        } else if (arg == "--version") {
            args.version = true;
        } else if (arg == "--offset" || arg == "--overcut") {
            int32_t& units = arg == "--offset" ? args.offset : args.overcut;
            if (i + 1 >= argc) return Usage("missing value for " + arg);
            if (!ParseLength(argv[++i], units))
                return Usage(arg + " wants " + LengthRule() + ", not '" + argv[i] + "'");
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage("unknown option " + arg);
        } else if (fileCount < 2) {
            args.files[fileCount++] = argv[i];
        } else {
            return Usage("unexpected argument " + arg);
        }
    }
    if (args.help || args.version) return 0;
    if (fileCount != 2) return Usage("INPUT and OUTPUT are required");
    if (args.plain && args.hpgl) return Usage("--plain and --hpgl are two readings: give one");
    for (const auto& [option, use, units] :
         {std::tuple{"--offset", LengthUse::KnifeOffset, args.offset},
          std::tuple{"--overcut", LengthUse::Overcut, args.overcut}})
        if (const std::string implausible = ImplausibleLength(use, units);
            !implausible.empty() && !args.force) {
            std::fprintf(stderr, "cutconv: %s %s\n", option, implausible.c_str());
            return kExitRefused;
        }
    return 0;
}

// 128 + the stop signal's number, with a word when the output ended it.
int Stopped(const char* output) {
    if (*StopReason() != '\0') std::fprintf(stderr, "cutconv: %s: %s\n", output, StopReason());
    return 128 + StopSignal();
}

int Convert(const Arguments& args) {
    const char* input = args.files[0];
    const char* output = args.files[1];
    // Refused before anything is read or written: an input that is no regular
    // file below 4 GiB, an output that is the input.
    if (const std::string problem = DrawingProblem(input); !problem.empty()) {
        std::fprintf(stderr, "cutconv: %s\n", problem.c_str());
        return kExitRefused;
    }
    if (!args.hpgl && !args.plain) {
        if (const std::string problem = PlotterFormProblem(input); !problem.empty()) {
            std::fprintf(stderr, "cutconv: %s\n", problem.c_str());
            return kExitRefused;
        }
    }
    if (RefuseSameFile(input, output)) {
        std::fprintf(stderr, "cutconv: cannot write %s: it is the input file %s\n", output, input);
        return kExitRefused;
    }

    TerminalLock port;  // held to the end, as cutsend holds it
    if (const Failure busy = port.Take(output)) {
        std::fprintf(stderr, "cutconv: %s\n", busy.Text().c_str());
        return kExitRefused;  // as cutsend refuses a busy port
    }

    CutJob job;
    job.bToPort = args.port ? 1 : 0;
    job.nOffsetUnits = args.offset;
    job.nOvercutUnits = args.overcut;
    // In port mode too the output goes where the user says: the stream is
    // written, not sent.
    job.paths.plotFile = input;
    job.paths.streamFile = output;
    job.strPath = output;
    StopLink link;
    job.pDlg = &link;
    std::optional<HpglPassInput> hpgl;
    if (args.hpgl) hpgl.emplace(input, args.plotArea, [] { return StopSignal() != 0; });
    const JobOutcome outcome = StopSignal() != 0 ? JobResult::Cancelled
                               : hpgl            ? ConvertPlotFile(job, *hpgl)
                                                 : ConvertPlotFile(job);
    if (StopSignal() != 0 && outcome.result != JobResult::Completed) return Stopped(output);
    // What the HPGL reading left out is told once it has read the file whole.
    if (hpgl && !ReportHpglReading(stderr, "cutconv", *hpgl, outcome, false)) return kExitRefused;
    if (outcome.result == JobResult::Completed) return 0;
    const bool inputFailed = outcome.result == JobResult::InputUnreadable ||
                             outcome.result == JobResult::InputChanged ||
                             outcome.result == JobResult::InputRefused;
    return Fail(std::string(WhatFailed(outcome.result)) + " " + (inputFailed ? input : output),
                outcome);
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (const int status = ReadArguments(argc, argv, args)) return status;
    if (args.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (args.version) {
        std::puts("cutconv " HARVEL_VERSION);
        return 0;
    }
    CatchStopSignals();
    return Convert(args);
}
