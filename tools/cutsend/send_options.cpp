// cutsend's command line and help text: offset and overcut in millimetres by the tools' one
// length rule, --port, --hpgl, --plot-area, --quiet, --list, --version and the drawing.
#include "send_options.h"

#include <cerrno>
#include <cstdlib>

#include "length_option.h"

const char kSendUsage[] =
    "Usage: cutsend [OPTION]... --port DEVICE DRAWING\n"
    "  or:  cutsend --list\n"
    "  or:  cutsend --help | --version\n";

const char kSendHelp[] =
    "Usage: cutsend [OPTION]... --port DEVICE DRAWING\n"
    "  or:  cutsend --list\n"
    "Convert DRAWING for the drag-knife cutter, with knife-offset compensation at\n"
    "sharp corners and an overcut where a closed contour ends, and stream it to the\n"
    "cutter on DEVICE: 38400 baud, 8 data bits, no parity, one stop bit, RTS/CTS\n"
    "flow control, in chunks of 1024 bytes. The bytes are exactly those Drovane\n"
    "sends with the same settings. While the cutter holds the line (its buffer is\n"
    "full, or it is paused) cutsend waits, however long.\n"
    "\n"
    "  --offset MM    knife offset in millimetres (0 or absent: off)\n"
    "  --overcut MM   overcut in millimetres (0 or absent: off)\n"
    "                 A length is a number from 0 to 1158, rounded to plotter\n"
    "                 units of 1/40 mm as in Drovane's dialog; a negative one is\n"
    "                 refused, as by cutconv.\n"
    "  --hpgl         read general HPGL: pen moves with any number of points per\n"
    "                 command, scaling, arcs, circles, rectangles, polygons and\n"
    "                 encoded polylines; other instructions are skipped and counted\n"
    "                 (one that draws what is not read refuses the drawing, exit 2);\n"
    "                 decimals round to the nearest unit, an exact half away from\n"
    "                 zero\n"
    "  --plot-area WxH  with --hpgl: the plotting area in millimetres (such as\n"
    "                   250x180), for files that scale to the plotter's area\n"
    "                   (SC without IP)\n"
    "  --port DEVICE  the cutter's serial port, e.g. /dev/ttyUSB0\n"
    "  --from-contour K  send the header, then the job from its contour K on:\n"
    "                    the bytes the whole job sends from that contour's pen-up\n"
    "                    move, so the knife is up where it begins (a K below 1 or\n"
    "                    beyond the last contour is refused, exit 2)\n"
    "  --quiet        no progress\n"
    "  --list         list the serial ports with their descriptions\n"
    "  --help         display this help and exit\n"
    "  --version      output version information and exit\n"
    "\n"
    "Drawing:\n"
    "  DRAWING is a plot file with one pen command per point (PU/PD), as the\n"
    "  exporter writes it; files from other programs (Inkscape's HPGL export, for\n"
    "  one) need --hpgl. It must be a regular file below 4 GiB: a FIFO, a device\n"
    "  or a folder is refused at once, and so is a drawing of 4 GiB or more or one\n"
    "  whose stream for the cutter would reach 4 GiB. Every refusal comes before\n"
    "  the first byte is sent.\n"
    "\n"
    "Files:\n"
    "  The stream (and with --hpgl the pen commands) is written in a scratch\n"
    "  folder in TMPDIR (or /tmp), created for the user alone and removed at the\n"
    "  end. The stream is sent through the handle that wrote it, so the cutter\n"
    "  receives exactly this conversion.\n"
    "\n"
    "Progress:\n"
    "  On a terminal, progress is one line: bytes sent of the total, percent, rate,\n"
    "  time left, and \"cutter holding the line\" while it holds. Otherwise a few\n"
    "  plain lines.\n"
    "\n"
    "Stopping:\n"
    "  SIGINT (Ctrl-C), SIGTERM and SIGHUP stop the job between two commands: the\n"
    "  rest of the command in flight and the stream's ending (U0,0;@;@;@;) follow\n"
    "  what the port already holds, so the knife is up and the next job starts\n"
    "  clean. If the cutter holds the line, cutsend waits 2 s for them at most,\n"
    "  then throws them away and says the cutter should be reset. A second Ctrl-C\n"
    "  ends cutsend at once. The port is closed, the scratch folder is removed,\n"
    "  and the exit status is 128 plus the signal's number.\n"
    "  On every stop (a signal, a port that fails) cutsend tells the contour it\n"
    "  stopped in, counting contours by their pen-up moves, and the command that\n"
    "  goes on from there with --from-contour. Where the cutter's own buffer held\n"
    "  contours it never cut, pick an earlier contour: look for the last one cut\n"
    "  whole (cutter-sim --svg numbers them).\n"
    "\n"
    "Exit status:\n"
    "  0    the drawing was sent completely\n"
    "  1    the port failed while sending, or the conversion failed\n"
    "  2    bad arguments, an unreadable or refused drawing, a missing or busy\n"
    "       port; nothing was sent\n"
    "  128+N  cancelled by signal N (130 for Ctrl-C)\n"
    "\n"
    "Examples:\n"
    "  cutsend --list\n"
    "  cutsend --offset 0.5 --overcut 3 --port /dev/ttyUSB0 sign.plt\n"
    "  cutsend --hpgl --offset 0.25 --port /dev/ttyUSB0 from-inkscape.hpgl\n"
    "  cutsend --from-contour 37 --offset 0.5 --port /dev/ttyUSB0 sign.plt\n";

bool ParseSendOptions(int argc, const char* const* argv, SendOptions& options,
                      std::string& problem) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = arg == "--offset" || arg == "--overcut" || arg == "--port" ||
                                arg == "--plot-area" || arg == "--from-contour";
        if (takesValue && i + 1 >= argc) {
            problem = "missing value for " + arg;
            return false;
        }
        if (arg == "--offset" || arg == "--overcut") {
            const char* value = argv[++i];
            if (!ParseLength(value, LengthUnit::Millimetres,
                             arg == "--offset" ? options.offsetUnits : options.overcutUnits)) {
                problem =
                    arg + " wants " + LengthRule(LengthUnit::Millimetres) + ", not '" + value + "'";
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
        } else if (arg == "--from-contour") {
            const std::string value = argv[++i];
            char* end = nullptr;
            errno = 0;
            const unsigned long long k = std::strtoull(value.c_str(), &end, 10);
            if (value.empty() || value[0] < '1' || value[0] > '9' || *end != '\0' || errno != 0 ||
                k > UINT32_MAX) {
                problem = "--from-contour wants a contour number from 1, not '" + value + "'";
                return false;
            }
            options.fromContour = static_cast<uint32_t>(k);
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
        } else if (arg == "--version") {
            options.version = true;
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
    if (options.help || options.version || options.list) return true;
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
