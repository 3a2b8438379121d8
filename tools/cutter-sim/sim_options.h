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
    bool version = false;
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
    "  --first-byte-ms MS\n"
    "                 stop when the first byte has not come within MS milliseconds\n"
    "  --hold-after BYTES, --hold-ms MS\n"
    "                 hold the line like a cutter with a full buffer: read nothing for MS\n"
    "                 milliseconds once BYTES have come (repeatable or comma lists, paired in\n"
    "                 order; a single MS applies to every hold)\n"
    "  --hold-forever-after BYTES\n"
    "                 stop reading for good once BYTES have come\n"
    "  --blade MM     follow the drag knife's tip, MM behind the tool axis: the summary adds\n"
    "                 blade_mm= (its cut length), the picture the tip's cut in bold\n"
    "  --drawing PLAIN.th0\n"
    "                 the same drawing converted for the port without offset or overcut\n"
    "                 (cutconv --port): the summary adds corner_miss_mm=, the largest\n"
    "                 distance from a sharp corner of it to the blade's cut\n"
    "  --jobs         a cutter that stays on between jobs: read on after each ending until\n"
    "                 the input ends, split the bytes into jobs at their headers as one\n"
    "                 cutter would (a header inside an unfinished command completes it),\n"
    "                 and print one summary line per job with start= and end=\n"
    "  --svg FILE     draw what the knife did (mm; cuts solid, pen-up moves dashed,\n"
    "                 each contour numbered at its pen-up move)\n"
    "  --raw FILE     save the received bytes as they came\n"
    "  --summary FILE\n"
    "                 write the summary line there too\n"
    "  --help         display this help and exit\n"
    "  --version      output version information and exit\n"
    "\n"
    "Summary:\n"
    "  One line on stdout when the stream has ended, its fields as NAME=VALUE\n"
    "  (bytes=70 header=CDR cuts=4 ...), and a second line on stderr with the\n"
    "  timing: bytes a second, how long the line stood idle, and why reading ended.\n"
    "\n"
    "  bytes      the bytes received\n"
    "  header     CDR for a stream for the port (its shift taken off), IN for a saved\n"
    "             plot file, none without either\n"
    "  cuts       the pen-down lines\n"
    "  moves      the pen-up lines (the footer's U0,0; is no move)\n"
    "  cut_mm     the length of all cuts, in millimetres (40 plotter units to the mm)\n"
    "  bbox_mm    the box xmin,ymin,xmax,ymax around every point a line went to\n"
    "  bad        lines that are not U<y>,<x>; or D<y>,<x>;, a line cut off at the end,\n"
    "             footer marks without their footer\n"
    "  complete   the last word: the footer U0,0;@;@;@; has come (else incomplete)\n"
    "  holds      with holds: how many began\n"
    "  blade_mm   with --blade: the length of the blade's cut\n"
    "  corner_miss_mm  with --drawing: the largest miss of its corners=N sharp corners\n"
    "  start, end with --jobs: clean, or inside-command (a header completed a command\n"
    "             the job before left unfinished; stray= and knife= say what the knife\n"
    "             did), and ending, inside-command or no-ending\n"
    "\n"
    "Exit status:\n"
    "  0    a complete, clean stream\n"
    "  1    a stream without its footer, without header or with undecodable lines\n"
    "  2    bad arguments or files\n"
    "  3    a clean stream whose picture or blade measure failed (the summary says\n"
    "       blade=failed)\n"
    "  With --jobs: 0 when every job began and ended cleanly, 1 otherwise.\n"
    "\n"
    "Examples:\n"
    "  A virtual cable for cutsend (a pty pair from socat) with the cutter at its far end:\n"
    "\n"
    "  socat pty,raw,echo=0,link=/tmp/ttyCUTTER pty,raw,echo=0,link=/tmp/ttySENDER &\n"
    "\n"
    "  cutter-sim --baud 38400 --quiet-ms 15000 --svg cut.svg /tmp/ttyCUTTER &\n"
    "\n"
    "  cutsend --hpgl --offset 0.25 --overcut 1 --port /tmp/ttySENDER drawing.hpgl\n"
    "\n"
    "  Looking at a conversion before cutting:\n"
    "\n"
    "  cutconv --port --hpgl --offset 0.5 drawing.hpgl drawing.th0\n"
    "\n"
    "  cutter-sim --blade 0.5 --svg cut.svg drawing.th0\n";

// Reads the command line; on failure returns false with a one-line problem.
bool ParseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& problem);
