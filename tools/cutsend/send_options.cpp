// cutsend's command line and help text: offset and overcut in millimetres by the tools' one
// length rule, --port, --hpgl, --plot-area, --quiet, --list, --version and the drawing.
#include "send_options.h"

#include <cerrno>
#include <cstdlib>
#include <tuple>

#include "length_option.h"
#include "plot_area_option.h"

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
    "flow control, in chunks of 1024 bytes. The bytes are exactly those Harvel's\n"
    "Windows sender sends with the same settings. While the cutter holds the line\n"
    "(its buffer is full, or it is paused) cutsend waits, however long.\n"
    "\n"
    "  --offset MM    knife offset in millimetres (0 or absent: off)\n"
    "  --overcut MM   overcut in millimetres (0 or absent: off)\n"
    "  --force        take a knife offset above 2 mm or an overcut above 20 mm\n"
    "  --hpgl         read general HPGL: pen moves with any number of points per\n"
    "                 command, scaling, arcs, circles, rectangles, polygons and\n"
    "                 encoded polylines; other instructions are skipped and counted\n"
    "                 (one that draws what is not read refuses the drawing, exit 2);\n"
    "                 decimals round to the nearest unit, an exact half away from\n"
    "                 zero\n"
    "  --plot-area WxH\n"
    "                 with --hpgl: the plotting area in millimetres (such as\n"
    "                 250x180), for files that scale to the plotter's area (SC\n"
    "                 without IP)\n"
    "  --plain        read DRAWING one point per pen command (PU12,34;) whatever\n"
    "                 else it holds\n"
    "  --max-size WxH\n"
    "                 refuse a cut that reaches beyond W by H millimetres from the\n"
    "                 origin (such as 600x2000 for a 60 cm roll)\n"
    "  --port DEVICE  the cutter's serial port, such as /dev/ttyUSB0\n"
    "  --from-contour K\n"
    "                 send the header, then the job from its contour K on: the\n"
    "                 bytes the whole job sends from that contour's pen-up move,\n"
    "                 so the knife is up where it begins (a K below 1 or beyond\n"
    "                 the last contour is refused, exit 2)\n"
    "  --quiet        no progress, and no size line\n"
    "  --list         list the serial ports with their descriptions\n"
    "  --help         display this help and exit\n"
    "  --version      output version information and exit\n"
    "\n"
    "Lengths:\n"
    "  A length is a number of millimetres from 0 to 1158, rounded to plotter\n"
    "  units of 1/40 mm, or whole plotter units with the suffix pu (20pu is\n"
    "  0.5 mm). A negative length is refused, as by cutconv.\n"
    "\n"
    "Drawing:\n"
    "  DRAWING is a plot file with one pen command per point (PU/PD), as the\n"
    "  exporter writes it, or with --hpgl a file from another program\n"
    "  (Inkscape's HPGL export, for one). Without --hpgl or --plain, a drawing\n"
    "  that a plotter would read differently is refused, naming what was found\n"
    "  and where. It must be a regular file below 4 GiB: a FIFO, a device or a\n"
    "  folder is refused at once, and so is a drawing of 4 GiB or more or one\n"
    "  whose stream for the cutter would reach 4 GiB. Before the first byte,\n"
    "  cutsend says the cut's width and height and where its lower left corner\n"
    "  lies on the sheet, in millimetres. Every refusal comes before the first\n"
    "  byte is sent.\n"
    "\n"
    "Progress:\n"
    "  On a terminal, progress is one line: the bytes that have left the\n"
    "  computer of the total, percent, rate and time left once they can be\n"
    "  measured, and \"cutter holding the line\" while CTS is low or nothing has\n"
    "  left for a second; otherwise a line per quarter and per hold. A serial\n"
    "  port tells what its driver still holds; a virtual port (a pty) cannot,\n"
    "  and there the line's 3840 bytes a second are assumed. When the cutter\n"
    "  has taken nothing for 10 s, cutsend says so once, and goes on waiting.\n"
    "  The last line comes when the last byte has left.\n"
    "\n"
    "Files:\n"
    "  The stream is written in a scratch folder in TMPDIR (or /tmp), created\n"
    "  for the user alone and removed at the end. The stream is sent through the\n"
    "  handle that wrote it, so the cutter receives exactly this conversion.\n"
    "  With --hpgl the drawing is read once for each of the two passes.\n"
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
    "\n"
    "  cutsend --hpgl --offset 0.25 --overcut 1 --port /dev/ttyUSB0 drawing.hpgl\n"
    "\n"
    "  cutsend --offset 0.5 --overcut 3 --max-size 600x2000 --port /dev/ttyUSB0 sign.plt\n"
    "\n"
    "  cutsend --from-contour 37 --offset 0.5 --overcut 3 --port /dev/ttyUSB0 sign.plt\n";

bool ParseSendOptions(int argc, const char* const* argv, SendOptions& options,
                      std::string& problem) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = arg == "--offset" || arg == "--overcut" || arg == "--port" ||
                                arg == "--plot-area" || arg == "--max-size" ||
                                arg == "--from-contour";
        if (takesValue && i + 1 >= argc) {
            problem = "missing value for " + arg;
            return false;
        }
        if (arg == "--offset" || arg == "--overcut") {
            const char* value = argv[++i];
            if (!ParseLength(value,
                             arg == "--offset" ? options.offsetUnits : options.overcutUnits)) {
                problem = arg + " wants " + LengthRule() + ", not '" + value + "'";
                return false;
            }
        } else if (arg == "--max-size") {
            HpglPoint size;
            if (!ParsePlotArea(argv[++i], size)) {
                problem = "--max-size wants WIDTHxHEIGHT in millimetres, not '" +
                          std::string(argv[i]) + "'";
                return false;
            }
            options.maxSize = size;
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
        } else if (arg == "--plain") {
            options.plain = true;
        } else if (arg == "--force") {
            options.force = true;
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
    if (options.plain && options.hpgl) {
        problem = "--plain and --hpgl are two readings: give one";
        return false;
    }
    for (const auto& [option, use, units] :
         {std::tuple{"--offset", LengthUse::KnifeOffset, options.offsetUnits},
          std::tuple{"--overcut", LengthUse::Overcut, options.overcutUnits}}) {
        const std::string implausible = ImplausibleLength(use, units);
        if (!implausible.empty() && !options.force) {
            problem = std::string(option) + " " + implausible;
            return false;
        }
    }
    return true;
}
