// cutsend: converts a drawing with the engine in port mode and streams it to
// the cutter on a serial port, with the bytes and rules of Drovane, for
// Linux and macOS.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cut_job.h"
#include "cutter_port.h"
#include "hpgl_reader.h"
#include "send_options.h"
#include "send_progress.h"
#include "stream_to_port.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitSent = 0;
constexpr int kExitFailed = 1;
constexpr int kExitBadInput = 2;
constexpr int kExitCancelled = 130;  // 128 + SIGINT, as shells report Ctrl-C

int Complain(const std::string& problem, int status) {
    std::fprintf(stderr, "cutsend: %s\n", problem.c_str());
    return status;
}

// The conversion's files, in a folder of their own that goes with the run.
class ScratchFolder {
public:
    bool Create(std::string& problem) {
        std::string pattern = (fs::temp_directory_path() / "cutsend-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            problem = "cannot create a scratch folder: " + std::string(std::strerror(errno));
            return false;
        }
        path_ = pattern;
        return true;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    fs::path operator/(const char* name) const { return path_ / name; }

private:
    fs::path path_;
};

// Only a cancel flag for the conversion: it is quick and shows nothing.
class ConversionLink : public SilentJobLink {
public:
    bool IsCancelRequested() override { return g_cancelRequested != 0; }
};

std::string Reason(const JobOutcome& outcome) {
    return outcome.ReasonText();
}

int ListAllPorts() {
    std::vector<PortListing> ports;
    std::string problem;
    if (!ListPorts(ports, problem)) return Complain(problem, kExitFailed);
    if (ports.empty()) std::puts("no serial ports found");
    for (const PortListing& port : ports)
        std::printf("%s\t%s\n", port.name.c_str(), port.description.c_str());
    return kExitSent;
}

}  // namespace

int main(int argc, char** argv) {
    SendOptions options;
    std::string problem;
    if (!ParseSendOptions(argc, argv, options, problem)) {
        std::fprintf(stderr, "cutsend: %s\n%s", problem.c_str(), kSendUsage);
        return kExitBadInput;
    }
    if (options.help) {
        std::fputs(kSendHelp, stdout);
        return kExitSent;
    }
    if (options.list) return ListAllPorts();

    struct sigaction cancel {};
    cancel.sa_handler = [](int) { g_cancelRequested = 1; };
    for (int signal : {SIGINT, SIGTERM}) ::sigaction(signal, &cancel, nullptr);

    std::FILE* drawing = std::fopen(options.drawing.c_str(), "rb");
    struct stat info {};
    if (drawing == nullptr || ::fstat(::fileno(drawing), &info) != 0 || S_ISDIR(info.st_mode)) {
        const std::string why = drawing == nullptr ? std::strerror(errno) : "not a file";
        if (drawing != nullptr) std::fclose(drawing);
        return Complain("cannot read " + options.drawing + ": " + why, kExitBadInput);
    }
    std::fclose(drawing);

    ScratchFolder scratch;
    if (!scratch.Create(problem)) return Complain(problem, kExitFailed);
    CutJob job;
    job.bToPort = 1;
    job.nOffsetUnits = options.offsetUnits;
    job.nOvercutUnits = options.overcutUnits;
    job.paths.plotFile = options.drawing;
    job.paths.streamFile = scratch / "stream.th0";
    job.strPath = job.paths.streamFile;
    if (options.hpgl) {
        HpglReading reading;
        if (!WriteHpglAsPenCommands(options.drawing, scratch / "pen.plt", reading, problem))
            return Complain(problem, kExitBadInput);
        job.paths.plotFile = scratch / "pen.plt";
        if (!options.quiet && reading.SkippedCount() > 0)
            std::fprintf(stderr, "cutsend: %s: skipped %s\n", options.drawing.c_str(),
                         reading.SkippedText().c_str());
    }
    ConversionLink conversionLink;
    job.pDlg = &conversionLink;
    const JobOutcome converted = ConvertPlotFile(job);
    if (converted.result == JobResult::Cancelled) return kExitCancelled;
    if (converted.result != JobResult::Completed)
        return Complain("cannot convert " + options.drawing + ": " + Reason(converted),
                        kExitFailed);

    CutterPort port;
    const CutterPort::OpenError opened = port.Open(options.port, problem);
    if (opened == CutterPort::OpenError::Missing) {
        std::vector<PortListing> ports;
        std::string ignored;
        ListPorts(ports, ignored);
        return Complain(problem + "; ports here: " + PortListText(ports), kExitBadInput);
    }
    if (opened != CutterPort::OpenError::None) return Complain(problem, kExitBadInput);

    if (g_cancelRequested) return kExitCancelled;  // asked before the first byte
    std::error_code sizeError;
    const uintmax_t total = fs::file_size(job.paths.streamFile, sizeError);
    const ProgressStyle style = options.quiet             ? ProgressStyle::Quiet
                                : ::isatty(STDERR_FILENO) ? ProgressStyle::OneLine
                                                          : ProgressStyle::Lines;
    SendProgress progress(style, sizeError ? 0 : total, stderr, [&port] { return port.State(); });
    job.hPort = port.fd();
    job.pDlg = &progress;
    const JobOutcome sent = StreamToPort(job);
    progress.Finish(sent.result == JobResult::Completed);
    switch (sent.result) {
        case JobResult::Completed: return kExitSent;
        case JobResult::Cancelled: return kExitCancelled;
        case JobResult::PortWriteFailed:
            return Complain(options.port + ": write failed: " + Reason(sent), kExitFailed);
        default: return Complain("sending failed: " + Reason(sent), kExitFailed);
    }
}
