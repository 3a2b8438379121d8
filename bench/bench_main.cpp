// cutter_bench: how fast the conversion engine is, and how little memory it
// needs. Prints figures; asserts nothing about time.
//
//   cutter_bench [--dir DIR] [--mb N] [--big-mb N] [--repeat N]
//                [--line-rate-seconds S] [--no-line-rate]
//   cutter_bench --case draw OUT MB     (writes the bench's drawing, for profiling)

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_cases.h"
#include "child_run.h"
#include "plot_generator.h"

namespace fs = std::filesystem;

namespace {

constexpr double kMB = 1024.0 * 1024.0;

struct Settings {
    fs::path dir;
    uint64_t mb = 64;
    uint64_t bigMb = 256;
    int repeat = 3;
    int lineRateSeconds = 20;
};

// The fastest of `repeat` runs: the others met more interference from
// whatever else shares the machine.
ChildFigures Best(const std::vector<std::string>& args, int repeat) {
    ChildFigures best;
    for (int i = 0; i < repeat; ++i) {
        ChildFigures f = RunChild(args);
        if (!f.ok) {
            std::fprintf(stderr, "bench: case %s failed\n", args[0].c_str());
            std::exit(1);
        }
        if (!best.ok || f.seconds < best.seconds) best = f;
    }
    return best;
}

ChildFigures Convert(const fs::path& in, const fs::path& out, int offset, int overcut, bool toPort,
                     int repeat) {
    return Best(
        {"convert", in, out, std::to_string(offset), std::to_string(overcut), toPort ? "1" : "0"},
        repeat);
}

double Rate(const fs::path& file, const ChildFigures& f) {
    return static_cast<double>(fs::file_size(file)) / kMB / f.seconds;
}

// Wall-clock rate, the rate per processor second of the working thread, and
// the share of the copy's rate.
void Row(const char* what, const fs::path& file, const ChildFigures& f, double copyRate) {
    const double rate = Rate(file, f);
    const double cpu = ExtraFigure(f.extra, "cpu_s");
    std::printf("  %-40s %8.1f MB/s  %6.3f s", what, rate, f.seconds);
    if (cpu > 0) std::printf("  (cpu %7.1f MB/s)", fs::file_size(file) / kMB / cpu);
    if (copyRate > 0) std::printf("  %5.3f of copy", rate / copyRate);
    std::printf("\n");
}

void MemoryRow(const char* what, const ChildFigures& f) {
    std::printf("  %-44s peak RSS %7.1f MB (anonymous %5.1f MB, file-backed %5.1f MB)\n", what,
                f.hwmKb / 1024.0, f.anonKb / 1024.0, f.fileKb / 1024.0);
}

bool Generate(bool ok, const fs::path& path) {
    if (!ok) std::fprintf(stderr, "bench: cannot write %s\n", path.c_str());
    return ok;
}

void Conversion(const Settings& s) {
    const fs::path drawing = s.dir / "drawing.plt";
    if (!Generate(WriteDrawing(drawing, s.mb << 20), drawing)) std::exit(1);
    const fs::path out = s.dir / "out.plt";
    std::printf("Conversion, file mode, %llu MB drawing (best of %d):\n",
                static_cast<unsigned long long>(s.mb), s.repeat);
    std::printf("  (MB/s by the wall clock; cpu: per processor second of the working thread)\n");
    const ChildFigures copy = Best({"copy", drawing, out}, s.repeat);
    const double copyRate = Rate(drawing, copy);
    Row("plain read-and-write copy", drawing, copy, 0);
    Row("first pass alone (extent scan)", drawing, Best({"extent", drawing}, s.repeat), copyRate);
    const ChildFigures on = Convert(drawing, out, 20, 300, false, s.repeat);
    std::printf("  (output %.1f MB)\n", fs::file_size(out) / kMB);
    Row("offset 20, overcut 300", drawing, on, copyRate);
    // A saved file is flushed before it takes its name; the copy is not. The
    // same conversion unflushed, and the flush timed apart, tell the shares.
    const ChildFigures unflushed =
        Best({"convert-then-flush", drawing, out, "20", "300"}, s.repeat);
    Row("the same, output not flushed", drawing, unflushed, copyRate);
    std::printf("  %-40s %8.3f s  (of the run above)\n", "the flush alone (file, then folder)",
                ExtraFigure(unflushed.extra, "flush_s"));
    Row("compensation off", drawing, Convert(drawing, out, 0, 0, false, s.repeat), copyRate);
    Row("port mode, offset 20, overcut 300", drawing,
        Convert(drawing, out, 20, 300, true, s.repeat), copyRate);

    std::printf("\nInputs that must stay linear, %llu MB each (offset 20, overcut 300):\n",
                static_cast<unsigned long long>(s.mb));
    Row("ordinary drawing (from above)", drawing, on, copyRate);
    const fs::path letters = s.dir / "letters.plt";
    const fs::path endless = s.dir / "endless.plt";
    const fs::path endlessClosed = s.dir / "endless-closed.plt";
    if (!Generate(WriteLettersWithoutEnd(letters, s.mb << 20), letters) ||
        !Generate(WriteEndlessCommand(endless, s.mb << 20, false), endless) ||
        !Generate(WriteEndlessCommand(endlessClosed, s.mb << 20, true), endlessClosed))
        std::exit(1);
    Row("command letters without any ';'", letters, Convert(letters, out, 20, 300, false, s.repeat),
        copyRate);
    Row("\"U\" and digits, no ';'", endless, Convert(endless, out, 20, 300, false, s.repeat),
        copyRate);
    Row("\"U\" and digits, one ';' at the end", endlessClosed,
        Convert(endlessClosed, out, 20, 300, false, s.repeat), copyRate);
    fs::remove(letters);
    fs::remove(endless);
    fs::remove(endlessClosed);
    fs::remove(out);
}

void Memory(const Settings& s) {
    std::printf("\nPeak memory, each conversion in a fresh process (offset 20, overcut 300):\n");
    for (uint64_t mb : {uint64_t{1}, s.bigMb}) {
        const fs::path in = s.dir / "memory.plt";
        if (!Generate(WriteDrawing(in, mb << 20, 7), in)) std::exit(1);
        // A small drawing takes milliseconds: the best of more runs tells its rate.
        const int runs = mb < 16 ? std::max(s.repeat, 10) : 1;
        const ChildFigures f = Convert(in, s.dir / "memory.out", 20, 300, false, runs);
        char what[64];
        std::snprintf(what, sizeof what, "%llu MB input (%.1f MB/s)",
                      static_cast<unsigned long long>(mb), Rate(in, f));
        MemoryRow(what, f);
        if (mb < 16) {
            // At this size the output's flush is a large part of the time.
            const ChildFigures unflushed =
                Best({"convert-then-flush", in, s.dir / "memory.out", "20", "300"}, runs);
            std::printf("  %-44s %7.1f MB/s, the flush alone %.4f s\n", "  the same, not flushed",
                        Rate(in, unflushed), ExtraFigure(unflushed.extra, "flush_s"));
        }
        fs::remove(in);
        fs::remove(s.dir / "memory.out");
    }
    std::printf("  (anonymous: the program's own memory; file-backed: its code and libraries)\n");
}

void Streaming(const Settings& s, const std::string& cutterSim) {
    std::printf("\nStreaming to a pty with cutter-sim reading (chunks of 1024 bytes):\n");
    const fs::path drawing = s.dir / "drawing.plt";
    const fs::path stream = s.dir / "stream.th0";
    RunChild({"convert", drawing, stream, "20", "300", "1"});
    const ChildFigures fast = RunChild({"stream", stream, cutterSim, "0"});
    if (fast.ok)
        std::printf("  %-44s %8.1f MB/s  (%.1f MB in %.3f s)\n", "no line-rate limit",
                    fs::file_size(stream) / kMB / fast.seconds, fs::file_size(stream) / kMB,
                    fast.seconds);
    else
        std::printf("  no line-rate limit: FAILED\n");
    fs::remove(stream);
    if (s.lineRateSeconds <= 0) return;

    // A stream that lasts about the chosen time at 3840 bytes a second.
    const fs::path small = s.dir / "line-rate.plt";
    Generate(WriteDrawing(small, static_cast<uint64_t>(s.lineRateSeconds) * 3840 * 9 / 10, 3),
             small);
    RunChild({"convert", small, stream, "20", "300", "1"});
    const ChildFigures slow = RunChild({"stream", stream, cutterSim, "38400"});
    if (!slow.ok) {
        std::printf("  38400 baud: FAILED\n");
        return;
    }
    const double receiver = ExtraFigure(slow.extra, "receiver_bps");
    const double writer = ExtraFigure(slow.extra, "writer_steady_bps");
    std::printf("  38400 baud, %llu bytes in %.2f s:\n",
                static_cast<unsigned long long>(fs::file_size(stream)), slow.seconds);
    std::printf("    %-42s %8.1f bytes/s  (%+.2f %% of 3840)\n", "received by the cutter", receiver,
                (receiver / 3840 - 1) * 100);
    std::printf("    %-42s %8.3f s\n", "cutter waiting for bytes (line idle)",
                ExtraFigure(slow.extra, "receiver_idle_s"));
    std::printf("    %-42s %8.1f bytes/s  (%+.2f %% of 3840)\n",
                "sent, between the sender's stalls", writer, (writer / 3840 - 1) * 100);
    std::printf("    %-42s %8.2f s\n", "sender done (rest left in the pty buffer)",
                ExtraFigure(slow.extra, "writer_s"));
    fs::remove(stream);
    fs::remove(small);
    fs::remove(stream.string() + ".sim");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--case") == 0) return RunBenchCase(argc, argv);

    Settings s;
    bool lineRate = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--no-line-rate") {
            lineRate = false;
        } else if (value != nullptr && arg == "--dir") {
            s.dir = value, ++i;
        } else if (value != nullptr && arg == "--mb") {
            s.mb = std::strtoull(value, nullptr, 10), ++i;
        } else if (value != nullptr && arg == "--big-mb") {
            s.bigMb = std::strtoull(value, nullptr, 10), ++i;
        } else if (value != nullptr && arg == "--repeat") {
            s.repeat = std::max(1, std::atoi(value)), ++i;
        } else if (value != nullptr && arg == "--line-rate-seconds") {
            s.lineRateSeconds = std::atoi(value), ++i;
        } else {
            std::fprintf(stderr,
                         "usage: cutter_bench [--dir DIR] [--mb N] [--big-mb N] [--repeat N]\n"
                         "                    [--line-rate-seconds S] [--no-line-rate]\n");
            return 2;
        }
    }
    if (!lineRate) s.lineRateSeconds = 0;
    if (s.mb == 0 || s.bigMb == 0) return 2;
    const bool ownDir = s.dir.empty();
    if (ownDir) s.dir = fs::temp_directory_path() / ("cutter-bench-" + std::to_string(::getpid()));
    fs::create_directories(s.dir);
    const std::string cutterSim = (fs::read_symlink("/proc/self/exe").parent_path() / "cutter-sim");

    Conversion(s);
    Memory(s);
    Streaming(s, cutterSim);
    fs::remove(s.dir / "drawing.plt");
    if (ownDir) fs::remove_all(s.dir);
    return 0;
}
