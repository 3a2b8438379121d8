// The benchmark's measurements, each in a child process of its own: a plain copy to compare
// with, a conversion (also with its output's flush timed apart), the extent pass alone, and
// streaming to cutter-sim through a pty.
#include "bench_cases.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "child_run.h"
#include "engine/conversion_passes.h"
#include "engine/cut_job.h"
#include "engine/platform/input_file.h"
#include "engine/platform/output_file.h"
#include "engine/stream_to_port.h"
#include "memory_sampler.h"
#include "plot_generator.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The calling thread's own processor time: on a shared machine it tells the
// work's cost apart from the time spent waiting for a processor.
double ThreadCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::string CpuFigure(double cpuStart) {
    return "cpu_s=" + std::to_string(ThreadCpuSeconds() - cpuStart);
}

// No dialog: progress is ignored, nothing is cancelled. The streaming case
// notes when each chunk has gone.
class BenchLink : public SilentJobLink {
public:
    void ChunkSent(uint32_t, uint32_t) override {
        if (noteChunks) chunkDone.push_back(Clock::now());
    }

    bool noteChunks = false;
    std::vector<Clock::time_point> chunkDone;
};

// Every writing case starts without its output file, so that each writes a new
// file: replacing one on ext4 makes the file system write the new data out at
// once (its auto_da_alloc rule), 50 to 60 ms for this drawing's output, and
// that cost belongs to the file system, not to the work measured here.
void RemoveOldOutput(const char* output) {
    ::unlink(output);
}

int Copy(const char* input, const char* output) {
    RemoveOldOutput(output);
    MemorySampler memory;
    const auto start = Clock::now();
    const double cpu = ThreadCpuSeconds();
    const int in = ::open(input, O_RDONLY | O_CLOEXEC);
    const int out = ::open(output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (in < 0 || out < 0) return 1;
    static char buffer[64 * 1024];  // the size of the engine's output buffer
    ssize_t n;
    while ((n = ::read(in, buffer, sizeof buffer)) > 0)
        if (::write(out, buffer, static_cast<size_t>(n)) != n) return 1;
    ::close(in);
    if (::close(out) != 0 || n < 0) return 1;
    const double seconds = SecondsSince(start);
    PrintChildFigures(seconds, memory.Stop(), CpuFigure(cpu));
    return 0;
}

int Convert(const char* input, const char* output, int offset, int overcut, bool toPort) {
    RemoveOldOutput(output);
    MemorySampler memory;
    BenchLink link;
    CutJob job;
    job.paths.plotFile = input;
    job.paths.streamFile = output;
    job.strPath = output;
    job.nOffsetUnits = offset;
    job.nOvercutUnits = overcut;
    job.bToPort = toPort ? 1 : 0;
    job.pDlg = &link;
    const auto start = Clock::now();
    const double cpu = ThreadCpuSeconds();
    if (ConvertPlotFile(job).result != JobResult::Completed) return 1;
    const double seconds = SecondsSince(start);
    PrintChildFigures(seconds, memory.Stop(), CpuFigure(cpu));
    return 0;
}

// The same file-mode conversion with the output named unflushed, as a stream
// for sending is; then the flush a saved file gets (its data, then its folder)
// timed on its own: the file system's share, apart from the engine's.
int ConvertThenFlush(const char* input, const char* output, int offset, int overcut) {
    RemoveOldOutput(output);
    MemorySampler memory;
    BenchLink link;
    CutJob job;
    job.paths.plotFile = input;
    job.strPath = output;
    job.nOffsetUnits = offset;
    job.nOvercutUnits = overcut;
    job.pDlg = &link;
    const auto start = Clock::now();
    const double cpu = ThreadCpuSeconds();
    {
        OutputFile out;
        if (ConvertForSending(job, out).result != JobResult::Completed) return 1;
    }
    const double seconds = SecondsSince(start);
    const std::string cpuFigure = CpuFigure(cpu);
    const auto flushStart = Clock::now();
    const int file = ::open(output, O_RDONLY | O_CLOEXEC);
    const std::string folder = std::filesystem::path(output).parent_path().string();
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool flushed = file >= 0 && dir >= 0 && ::fsync(file) == 0 && ::fsync(dir) == 0;
    const double flushSeconds = SecondsSince(flushStart);
    if (file >= 0) ::close(file);
    if (dir >= 0) ::close(dir);
    if (!flushed) return 1;
    PrintChildFigures(seconds, memory.Stop(),
                      cpuFigure + " flush_s=" + std::to_string(flushSeconds));
    return 0;
}

// Pass 1 alone (the extent scan) over the file.
int Extent(const char* input) {
    MemorySampler memory;
    BenchLink link;
    ProgressSteps progress(link);
    const auto start = Clock::now();
    const double cpu = ThreadCpuSeconds();
    InputFile file;
    PlotExtent extent;
    if (file.Open(input)) return 1;
    if (RunExtentPass(file, file.length(), link, progress, extent).result != JobResult::Completed)
        return 1;
    file.Close();
    const double seconds = SecondsSince(start);
    PrintChildFigures(seconds, memory.Stop(), CpuFigure(cpu));
    return 0;
}

// The pty frees room for the writer in bursts of several KB, so the writer's
// rate is taken between the ends of its first and its last stall: the same
// point of the burst cycle, with the pty's buffer full at both.
double WriterSteadyRate(const std::vector<Clock::time_point>& done, Clock::time_point start) {
    Clock::time_point before = start;
    long first = -1;
    long last = -1;
    for (size_t i = 0; i < done.size(); ++i) {
        if (std::chrono::duration<double>(done[i] - before).count() > 0.1) {
            if (first < 0) first = static_cast<long>(i);
            last = static_cast<long>(i);
        }
        before = done[i];
    }
    if (first < 0 || last <= first) return 0;
    const double span = std::chrono::duration<double>(done[last] - done[first]).count();
    return (last - first) * double(harvel::kPortChunkSize) / span;
}

// Reads "idle S s" from cutter-sim's report: time it waited for bytes.
double ReceiverIdle(const std::string& report) {
    const size_t at = report.find("line idle ");
    return at == std::string::npos ? -1 : std::atof(report.c_str() + at + 10);
}

// Reads "..., R bytes/s" from cutter-sim's report.
double ReceiverRate(const std::string& report) {
    const size_t at = report.find(" bytes/s");
    if (at == std::string::npos) return 0;
    const size_t from = report.rfind(' ', at - 1);
    return std::atof(report.c_str() + from + 1);
}

bool CopyIntoStream(const char* from, const std::string& to, OutputFile& stream) {
    const int in = ::open(from, O_RDONLY | O_CLOEXEC);
    if (in < 0 || stream.Create(to)) return false;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(in, buffer, sizeof buffer)) > 0)
        if (stream.WriteAll(buffer, static_cast<size_t>(n))) break;
    ::close(in);
    return n == 0;  // never committed: the copy goes with `stream`
}

int Stream(const char* streamFile, const char* cutterSim, int baud) {
    MemorySampler memory;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return 1;
    const std::string slaveName = ::ptsname(master);
    // Raw before any byte arrives: nothing may be echoed or held for a line end.
    // Held open throughout, so the master never sees a hang-up before
    // cutter-sim has opened its side.
    const int slave = ::open(slaveName.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (slave < 0 || ::tcgetattr(slave, &raw) != 0) return 1;
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    const std::string report = std::string(streamFile) + ".sim";
    std::vector<std::string> args = {cutterSim, "--first-byte-ms", "30000"};
    if (baud > 0) args.insert(args.end(), {"--baud", std::to_string(baud)});
    args.push_back(slaveName);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, report.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t sim = -1;
    const int spawned = posix_spawn(&sim, cutterSim, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return 1;

    BenchLink link;
    link.noteChunks = true;
    CutJob job;
    job.hPort = master;
    job.paths.streamFile = streamFile;
    job.pDlg = &link;
    // A job sends through the handle that wrote the stream: copy it into one.
    OutputFile stream;
    const std::string sentCopy = std::string(streamFile) + ".sent";
    if (!CopyIntoStream(streamFile, sentCopy, stream)) return 1;
    const auto start = Clock::now();
    const JobResult result = StreamToPort(job, stream).result;
    const double writerSeconds = SecondsSince(start);
    int status = 0;
    ::waitpid(sim, &status, 0);
    const double seconds = SecondsSince(start);
    ::close(master);
    ::close(slave);
    if (result != JobResult::Completed || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;

    std::ifstream in(report);
    std::stringstream text;
    text << in.rdbuf();
    char extra[200];
    std::snprintf(extra, sizeof extra,
                  "writer_s=%.3f writer_steady_bps=%.1f receiver_bps=%.1f receiver_idle_s=%.3f",
                  writerSeconds, WriterSteadyRate(link.chunkDone, start), ReceiverRate(text.str()),
                  ReceiverIdle(text.str()));
    PrintChildFigures(seconds, memory.Stop(), extra);
    return 0;
}

}  // namespace

int RunBenchCase(int argc, char** argv) {
    // argv: program, "--case", name, arguments...
    const std::string name = argc > 2 ? argv[2] : "";
    if (name == "copy" && argc == 5) return Copy(argv[3], argv[4]);
    if (name == "convert" && argc == 8)
        return Convert(argv[3], argv[4], std::atoi(argv[5]), std::atoi(argv[6]),
                       std::atoi(argv[7]) != 0);
    if (name == "convert-then-flush" && argc == 7)
        return ConvertThenFlush(argv[3], argv[4], std::atoi(argv[5]), std::atoi(argv[6]));
    if (name == "extent" && argc == 4) return Extent(argv[3]);
    // For profiling the engine on the bench's own drawing.
    if (name == "draw" && argc == 5)
        return WriteDrawing(argv[3], std::strtoull(argv[4], nullptr, 10) << 20) ? 0 : 1;
    if (name == "stream" && argc == 6) return Stream(argv[3], argv[4], std::atoi(argv[5]));
    std::fprintf(stderr, "bench: bad case\n");
    return 2;
}
