// cutconv: runs the sender's conversion job on any plot file, for developers,
// tests and Linux users. Lengths are plotter units (1/40 mm).
//
//   cutconv [--port] [--hpgl] [--offset UNITS] [--overcut UNITS] INPUT OUTPUT
//
// --hpgl reads general HPGL (many points per command, PA/PR, other
// instructions skipped) into one pen command per point first.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "cut_job.h"
#include "hpgl_reader.h"

namespace {

int Usage(const char* problem) {
    std::fprintf(stderr, "cutconv: %s\n", problem);
    std::fprintf(
        stderr,
        "usage: cutconv [--port] [--hpgl] [--offset UNITS] [--overcut UNITS] INPUT OUTPUT\n");
    return 2;
}

bool ParseUnits(const char* text, int32_t& value) {
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<int32_t>(v);
    return true;
}

// What could not be done, as in "cannot write out.plt: No space left on device".
const char* Failure(JobResult result) {
    switch (result) {
        case JobResult::InputUnreadable:
        case JobResult::InputChanged: return "cannot read";
        case JobResult::OutputNotCreated: return "cannot create";
        default: return "cannot write";
    }
}

// The pen commands read from an HPGL file, in a scratch file of their own.
class PenCommandsFile {
public:
    PenCommandsFile()
        : path_(std::filesystem::temp_directory_path() /
                ("cutconv-" + std::to_string(std::random_device{}()) + ".plt")) {}
    ~PenCommandsFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace

int main(int argc, char** argv) {
    CutJob job;
    const char* files[2] = {nullptr, nullptr};
    int fileCount = 0;
    bool hpgl = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--port") == 0) {
            job.bToPort = 1;
        } else if (std::strcmp(arg, "--hpgl") == 0) {
            hpgl = true;
        } else if (std::strcmp(arg, "--offset") == 0 || std::strcmp(arg, "--overcut") == 0) {
            int32_t& target = arg[2] == 'o' && arg[3] == 'f' ? job.nOffsetUnits : job.nOvercutUnits;
            if (i + 1 >= argc || !ParseUnits(argv[i + 1], target))
                return Usage((std::string("bad value for ") + arg).c_str());
            ++i;
        } else if (arg[0] == '-' && arg[1] != '\0') {
            return Usage((std::string("unknown option ") + arg).c_str());
        } else if (fileCount < 2) {
            files[fileCount++] = arg;
        } else {
            return Usage((std::string("unexpected argument ") + arg).c_str());
        }
    }
    if (fileCount != 2) return Usage("INPUT and OUTPUT are required");

    // In port mode too the output goes where the user says: the stream is
    // written, not sent.
    job.paths.plotFile = files[0];
    job.paths.streamFile = files[1];
    job.strPath = files[1];
    PenCommandsFile penCommands;
    if (hpgl) {
        HpglReading reading;
        std::string problem;
        if (!WriteHpglAsPenCommands(files[0], penCommands.path(), reading, problem)) {
            std::fprintf(stderr, "cutconv: %s\n", problem.c_str());
            return 1;
        }
        if (reading.SkippedCount() > 0)
            std::fprintf(stderr, "cutconv: %s: skipped %s\n", files[0],
                         reading.SkippedText().c_str());
        job.paths.plotFile = penCommands.path();
    }
    SilentJobLink link;  // no dialog, never cancelled
    job.pDlg = &link;

    const JobOutcome outcome = ConvertPlotFile(job);
    if (outcome.result == JobResult::Completed) return 0;
    const bool input =
        outcome.result == JobResult::InputUnreadable || outcome.result == JobResult::InputChanged;
    std::fprintf(stderr, "cutconv: %s %s: %s\n", Failure(outcome.result),
                 input ? files[0] : files[1], outcome.ReasonText().c_str());
    return 1;
}
