// cutter-sim's command line: pacing, time-outs, holds paired with their lengths, the blade
// and the drawing for corner misses, and the SVG, raw and summary files.
#include "sim_options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

bool ParseNumber(const char* text, long long low, long long high, long long& value) {
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && errno == 0 && value >= low && value <= high;
}

// A length in millimetres, 0 to 100: a knife offset.
bool ParseMillimetres(const char* text, double& value) {
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && errno == 0 && value >= 0 && value <= 100;
}

// "N" or "N,N,...", each within [low, high], appended to `values`.
bool ParseNumberList(const char* text, long long low, long long high,
                     std::vector<long long>& values) {
    std::string rest = text;
    for (;;) {
        const size_t comma = rest.find(',');
        long long value = 0;
        if (!ParseNumber(rest.substr(0, comma).c_str(), low, high, value)) return false;
        values.push_back(value);
        if (comma == std::string::npos) return true;
        rest.erase(0, comma + 1);
    }
}

// Pairs the hold thresholds with their lengths: in order, or one length for all.
bool PairHolds(const std::vector<long long>& after, const std::vector<long long>& ms,
               std::optional<long long> forever, SimOptions& options, std::string& problem) {
    if (after.size() != ms.size() && !(ms.size() == 1 && !after.empty())) {
        problem = "--hold-after and --hold-ms must come in pairs";
        return false;
    }
    for (size_t i = 0; i < after.size(); ++i) {
        options.holds.push_back(HoldRule{static_cast<uint64_t>(after[i]),
                                         static_cast<int>(ms.size() == 1 ? ms[0] : ms[i])});
    }
    if (forever) options.holds.push_back(HoldRule{static_cast<uint64_t>(*forever), -1});
    // A stable sort keeps a timed hold ahead of a hold for good at the same byte.
    std::stable_sort(
        options.holds.begin(), options.holds.end(),
        [](const HoldRule& a, const HoldRule& b) { return a.afterBytes < b.afterBytes; });
    return true;
}

}  // namespace

bool ParseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& problem) {
    bool haveInput = false;
    std::vector<long long> holdAfter;
    std::vector<long long> holdMs;
    std::optional<long long> holdForever;
    constexpr long long kMaxBytes = 1LL << 50;
    constexpr long long kMaxMs = 86400000;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue =
            arg == "--baud" || arg == "--quiet-ms" || arg == "--first-byte-ms" || arg == "--svg" ||
            arg == "--raw" || arg == "--summary" || arg == "--hold-after" || arg == "--hold-ms" ||
            arg == "--hold-forever-after" || arg == "--blade" || arg == "--drawing";
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--jobs") {
            options.jobs = true;
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
            } else if (arg == "--drawing") {
                options.drawingPath = value;
            } else if (arg == "--blade") {
                if (!ParseMillimetres(value, options.bladeMm)) {
                    problem = "bad value for --blade: " + std::string(value);
                    return false;
                }
            } else if (arg == "--hold-after" || arg == "--hold-ms") {
                const bool bytes = arg == "--hold-after";
                if (!ParseNumberList(value, 0, bytes ? kMaxBytes : kMaxMs,
                                     bytes ? holdAfter : holdMs)) {
                    problem = "bad value for " + arg + ": " + value;
                    return false;
                }
            } else if (arg == "--hold-forever-after") {
                if (holdForever || !ParseNumber(value, 0, kMaxBytes, number)) {
                    problem = "bad or repeated --hold-forever-after: " + std::string(value);
                    return false;
                }
                holdForever = number;
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
    if (options.jobs && options.bladeMm >= 0) {
        problem = "--blade follows one job: not with --jobs";
        return false;
    }
    if (!options.drawingPath.empty() && options.bladeMm < 0) {
        problem = "--drawing needs --blade";
        return false;
    }
    return PairHolds(holdAfter, holdMs, holdForever, options, problem);
}
