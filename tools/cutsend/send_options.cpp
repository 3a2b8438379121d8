#include "send_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "length_units.h"

const char kSendUsage[] =
    "usage: cutsend [--offset MM] [--overcut MM] [--hpgl [--plot-area WxH]] [--quiet]\n"
    "               --port DEVICE DRAWING.plt\n"
    "       cutsend --list\n"
    "       cutsend --help\n";

const char kSendHelp[] =
    "NAME\n"
    "    cutsend - convert a drawing and send it to the drag-knife cutter\n"
    "\n"
    "SYNOPSIS\n"
    "    cutsend [--offset MM] [--overcut MM] [--hpgl [--plot-area WxH]] [--quiet]\n"
    "            --port DEVICE DRAWING.plt\n"
    "    cutsend --list\n"
    "\n"
    "DESCRIPTION\n"
    "    Converts DRAWING.plt for the cutter, with knife-offset compensation at sharp\n"
    "    corners and an overcut where a closed contour ends, and streams it to the\n"
    "    cutter on DEVICE: 38400 baud, 8 data bits, no parity, one stop bit, RTS/CTS\n"
    "    flow control, in chunks of 1024 bytes. The bytes are exactly those Drovane\n"
    "    sends with the same settings. While the cutter holds the line (its buffer\n"
    "    is full, or it is paused) cutsend waits, however long.\n"
    "\n"
    "    The drawing is a plot file with one pen command per point (PU/PD), as the\n"
    "    exporter writes it. Files from other programs (Inkscape's HPGL export, for\n"
    "    one) need --hpgl.\n"
    "\n"
    "OPTIONS\n"
    "    --offset MM   knife offset in millimetres (0 or absent: off)\n"
    "    --overcut MM  overcut in millimetres (0 or absent: off)\n"
    "                  Millimetres become plotter units of 1/40 mm, rounded to the\n"
    "                  nearest unit, as in Drovane's dialog. At most 1158 mm.\n"
    "    --hpgl        read general HPGL: pen moves with any number of points per\n"
    "                  command, scaling, arcs, circles, rectangles, polygons and\n"
    "                  encoded polylines; other instructions are skipped and counted\n"
    "                  (one that draws what is not read refuses the drawing, exit 2);\n"
    "                  decimals round to the nearest unit, an exact half away from zero\n"
    "    --plot-area WxH  with --hpgl: the plotting area in millimetres (e.g. 250x180),\n"
    "                  for files that scale to the plotter's area (SC without IP)\n"
    "    --port DEVICE the cutter's serial port, e.g. /dev/ttyUSB0\n"
    "    --quiet       no progress\n"
    "    --list        list the serial ports with their descriptions\n"
    "    --help        this text\n"
    "\n"
    "    On a terminal, progress is one line: bytes sent of the total, percent, rate,\n"
    "    time left, and \"cutter holding the line\" while it holds. Otherwise a few\n"
    "    plain lines. Ctrl-C (SIGINT) or SIGTERM cancels: the chunk in flight ends,\n"
    "    nothing more is sent and the port is closed.\n"
    "\n"
    "EXIT STATUS\n"
    "    0    the drawing was sent completely\n"
    "    1    the port failed while sending, or the conversion failed\n"
    "    2    bad arguments, an unreadable drawing, a missing or busy port;\n"
    "         nothing was sent\n"
    "    130  cancelled by SIGINT or SIGTERM\n"
    "\n"
    "EXAMPLES\n"
    "    cutsend --list\n"
    "    cutsend --offset 0.5 --overcut 3 --port /dev/ttyUSB0 sign.plt\n"
    "    cutsend --hpgl --offset 0.25 --port /dev/ttyUSB0 from-inkscape.hpgl\n";

namespace {

// Far beyond any real knife offset or overcut (46340 units); the engine itself
// would take any 32-bit length.
constexpr double kMaxMillimetres = 1158;

// A length in millimetres as the dialog takes it: a single-precision number,
// then rounded to plotter units.
bool ParseLength(const char* text, int32_t& units) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || errno != 0 || !std::isfinite(value) || value < 0 ||
        value > kMaxMillimetres)
        return false;
    units = MillimetresToPlotterUnits(static_cast<float>(value));
    return true;
}

}  // namespace

bool ParseSendOptions(int argc, const char* const* argv, SendOptions& options,
                      std::string& problem) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue =
            arg == "--offset" || arg == "--overcut" || arg == "--port" || arg == "--plot-area";
        if (takesValue && i + 1 >= argc) {
            problem = "missing value for " + arg;
            return false;
        }
        if (arg == "--offset" || arg == "--overcut") {
            const char* value = argv[++i];
            if (!ParseLength(value,
                             arg == "--offset" ? options.offsetUnits : options.overcutUnits)) {
                problem =
                    arg + " wants a length in millimetres from 0 to 1158, not '" + value + "'";
                return false;
            }
        } else if (arg == "--plot-area") {
            HpglPoint area;
            if (!ParsePlotArea(argv[++i], area)) {
                problem = "--plot-area wants WIDTHxHEIGHT in millimetres, not '" +
                          std::string(argv[i]) + "'";
                return false;
            }
            options.plotArea = area;
        } else if (arg == "--port") {
            options.port = argv[++i];
        } else if (arg == "--hpgl") {
            options.hpgl = true;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--list") {
            options.list = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            problem = "unknown option " + arg;
            return false;
        } else if (options.drawing.empty()) {
            options.drawing = arg;
        } else {
            problem = "unexpected argument " + arg;
            return false;
        }
    }
    if (options.help || options.list) return true;
    if (options.port.empty()) {
        problem = "which port? give --port DEVICE (cutsend --list shows them)";
        return false;
    }
    if (options.drawing.empty()) {
        problem = "no drawing given";
        return false;
    }
    return true;
}
