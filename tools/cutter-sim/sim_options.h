#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The cutter holds the line (reads nothing) once `afterBytes` have come in:
// for `ms` milliseconds, or for good when ms is negative.
struct HoldRule {
    uint64_t afterBytes = 0;
    int ms = -1;
};

struct SimOptions {
    std::string input = "-";  // tty, pty, file or "-" for stdin
    uint32_t baud = 0;        // 0: no pacing
    int quietMs = -1;
    int firstByteMs = -1;
    std::string svgPath;
    std::string rawPath;
    std::string summaryPath;
    std::vector<HoldRule> holds;  // by afterBytes, earliest first
    double bladeMm = -1;          // the knife offset to trail the tip by; -1: no blade
    std::string drawingPath;      // the plain conversion of the drawing, for corner misses
    bool jobs = false;            // several jobs in a row, reported one by one
    bool help = false;
};

// The exit statuses, as the usage text tells them.
inline constexpr int kSimExitClean = 0;
inline constexpr int kSimExitBadStream = 1;
inline constexpr int kSimExitTrouble = 2;
inline constexpr int kSimExitReportFailed = 3;

inline constexpr char kSimUsage[] =
    "Usage: cutter-sim [OPTION]... [INPUT]\n"
    "Receive a cutter stream as the cutter would, judge it, and show what the knife did.\n"
    "\n"
    "  INPUT          tty, pty or file to read the cutter stream from (default: stdin)\n"
    "  --baud RATE    read no faster than a serial line at RATE baud, 8N1 (38400: 3840 bytes/s)\n"
    "  --quiet-ms MS  stop when no byte has come for MS milliseconds after the first\n"
    "  --first-byte-ms MS  stop when the first byte has not come within MS milliseconds\n"
    "  --hold-after BYTES, --hold-ms MS  hold the line like a cutter with a full buffer:\n"
    "                 read nothing for MS milliseconds once BYTES have come (repeatable or\n"
    "                 comma lists, paired in order; a single MS applies to every hold)\n"
    "  --hold-forever-after BYTES  stop reading for good once BYTES have come\n"
    "  --blade MM     follow the drag knife's tip, MM behind the tool axis: the summary adds\n"
    "                 blade_mm= (its cut length), the picture the tip's cut in bold\n"
    "  --drawing PLAIN.th0  the same drawing converted without offset or overcut (port\n"
    "                 mode): the summary adds corner_miss_mm=, the largest distance from a\n"
    "                 sharp corner of it to the blade's cut\n"
    "  --jobs         a cutter that stays on between jobs: read on after each ending until\n"
    "                 the input ends, split the bytes into jobs at their headers as one\n"
    "                 cutter would (a header inside an unfinished command completes it),\n"
    "                 and print one summary line per job with start= and end=\n"
    "  --svg FILE     draw what the knife did (mm; cuts solid, pen-up moves dashed,\n"
    "                 each contour numbered at its pen-up move)\n"
    "  --raw FILE     save the received bytes as they came\n"
    "  --summary FILE write the summary line there too\n"
    "  --help         display this help and exit\n"
    "\n"
    "Exit status: 0 for a complete, clean stream; 1 for a stream without its footer,\n"
    "without header or with undecodable lines; 2 for bad arguments or files; 3 for a\n"
    "clean stream whose picture or blade measure failed (the summary says blade=failed).\n"
    "With --jobs: 0 when every job began and ended cleanly, 1 otherwise.\n";

// Reads the command line; on failure returns false with a one-line problem.
bool ParseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& problem);
