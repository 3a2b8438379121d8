#include "sim_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool ParseNumber(const char* text, long long low, long long high, long long& value) {
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && errno == 0 && value >= low && value <= high;
}

}  // namespace

bool ParseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& problem) {
    bool haveInput = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = arg == "--baud" || arg == "--quiet-ms" ||
                                arg == "--first-byte-ms" || arg == "--svg" || arg == "--raw" ||
                                arg == "--summary";
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (takesValue) {
            if (i + 1 >= argc) {
                problem = "missing value for " + arg;
                return false;
            }
            const char* value = argv[++i];
            long long number = 0;
            if (arg == "--svg") {
                options.svgPath = value;
            } else if (arg == "--raw") {
                options.rawPath = value;
            } else if (arg == "--summary") {
                options.summaryPath = value;
            } else if (arg == "--baud" && ParseNumber(value, 10, 10000000, number)) {
                options.baud = static_cast<uint32_t>(number);
            } else if (arg != "--baud" && ParseNumber(value, 0, 86400000, number)) {
                (arg == "--quiet-ms" ? options.quietMs : options.firstByteMs) =
                    static_cast<int>(number);
            } else {
                problem = "bad value for " + arg + ": " + value;
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            problem = "unknown option " + arg;
            return false;
        } else if (!haveInput) {
            options.input = arg;
            haveInput = true;
        } else {
            problem = "unexpected argument " + arg;
            return false;
        }
    }
    return true;
}
