// Fuzz target: the whole conversion of arbitrary bytes as a plot file.
//
// Input layout: byte 0 chooses the settings (see DrawSettings), bytes 1-4 give
// the knife offset and the overcut, bytes 5.. are the plot file.
//
// Checked on every input:
// - the stream starts with its header, ends with the footer, and holds only
//   lines "U%d,%d;" / "D%d,%d;" in between;
// - port mode writes the same lines as file mode, shifted by 1832 and 1524,
//   also when it reads the input in small pieces;
// - without offset and overcut, every line goes to a point that some command
//   of the input maps to;
// - the real job on a file (tmpfs) writes the same bytes, posts its done
//   notification exactly once, and when cancelled leaves no output file.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "engine/command_parse.h"
#include "engine/command_scan.h"
#include "engine/conversion_passes.h"
#include "engine/cut_job.h"
#include "engine/move_writer.h"
#include "job_test_doubles.h"
#include "stream_check.h"
#include "worked_square.h"

namespace fs = std::filesystem;

namespace {

struct Settings {
    int32_t offset = 0;
    int32_t overcut = 0;
    uint32_t cancelAt = 0;  // cancel at this cancel check of the file job; 0 never
    size_t piece = 1;       // the port-mode conversion reads at most this much at once
};

// Low two bits 0: no compensation at all (a quarter of the inputs), so that
// the point check runs often. Bit 2: lengths beyond what OffsetVector accepts.
// Bits 4-7: where the file job is cancelled (0 and most values: never). Bytes 1
// and 3 also give the port-mode conversion's reads a size of 1 to 61 bytes, so
// that the reading loop's blocks end everywhere.
Settings DrawSettings(const uint8_t* head) {
    Settings s;
    const uint8_t flags = head[0];
    if ((flags & 3) != 0) {
        s.offset = static_cast<int16_t>(head[1] | head[2] << 8);
        s.overcut = static_cast<int16_t>(head[3] | head[4] << 8);
        if ((flags & 4) != 0) {
            s.offset = static_cast<int32_t>(static_cast<uint32_t>(s.offset) * 65537u);
            s.overcut = static_cast<int32_t>(static_cast<uint32_t>(s.overcut) * 65537u);
        }
    }
    const uint32_t cancel = flags >> 4;
    if (cancel >= 1 && cancel <= 4) s.cancelAt = cancel;
    s.piece = 1 + static_cast<size_t>(head[1] + head[3]) % 61;
    return s;
}

// A link that asks to cancel at the given check (1 the first; 0 never).
RecordingLink CancellingAt(uint32_t check) {
    RecordingLink link;
    link.cancelAfterPolls = static_cast<int>(check) - 1;
    return link;
}

std::string ConvertInMemory(const uint8_t* data, uint32_t length, const Settings& s, bool toPort,
                            size_t piece) {
    StringWriter writer;
    auto out = std::make_unique<BufferedOutput>(writer);
    RecordingLink link;
    ProgressSteps progress(link);
    PlotExtent extent;
    MemoryReader first(data, length, piece);
    Check(RunExtentPass(first, length, link, progress, extent).result == JobResult::Completed,
          "pass 1 failed");
    const CutSettings settings{s.offset, s.overcut, toPort};
    MemoryReader second(data, length, piece);
    Check(RunCutPass(second, length, extent, settings, *out, link, progress).result ==
              JobResult::Completed,
          "pass 2 failed");
    return writer.text;
}

// Every point that a command of the input maps to, by the input's own extent.
std::set<std::pair<int32_t, int32_t>> MappedInputPoints(const uint8_t* data, uint32_t length) {
    RecordingLink link;
    ProgressSteps progress(link);
    PlotExtent extent;
    MemoryReader input(data, length);
    RunExtentPass(input, length, link, progress, extent);
    std::set<std::pair<int32_t, int32_t>> points;
    CommandScanner scan(data, length);
    char command[kCommandBufferSize];
    while (scan.Next(command)) {
        const Pos_xyz p = ParsePoint(command, extent);
        points.insert({p.x, p.y});
    }
    return points;
}

int32_t Shifted(int32_t v, int32_t shift) {
    return static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(shift));
}

constexpr char kDirPrefix[] = "harvel-fuzz-";
fs::path g_dir;

void RemoveDir() {
    std::error_code ignored;
    fs::remove_all(g_dir, ignored);
}

// libFuzzer often ends with _Exit, past every atexit handler: so each input
// removes its files, and a new run removes the directories of runs now gone.
void RemoveStaleDirs() {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator("/dev/shm", ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(kDirPrefix, 0) != 0) continue;
        const pid_t pid = static_cast<pid_t>(std::atol(name.c_str() + sizeof kDirPrefix - 1));
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) fs::remove_all(entry.path(), ignored);
    }
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The real job in file mode, on files in memory-backed storage.
void CheckFileJob(const uint8_t* data, uint32_t length, const Settings& s,
                  const std::string& expected) {
    const fs::path input = g_dir / "in.plt";
    const fs::path output = g_dir / "out.plt";
    {
        std::ofstream in(input, std::ios::binary | std::ios::trunc);
        in.write(reinterpret_cast<const char*>(data), length);
    }
    fs::remove(output);
    RecordingLink link = CancellingAt(s.cancelAt);
    CutJob job;
    job.paths.plotFile = input;
    job.strPath = output;
    job.nOffsetUnits = s.offset;
    job.nOvercutUnits = s.overcut;
    job.pDlg = &link;
    const JobResult result = RunCutJob(job).result;
    Check(link.doneCount == 1, "done posted not exactly once");
    Check(link.lastResult == result, "done carries another result");
    if (result == JobResult::Completed) {
        Check(ReadFile(output) == expected, "file job wrote other bytes than the passes");
    } else {
        Check(result == JobResult::Cancelled && s.cancelAt != 0, "file job failed");
        Check(!fs::exists(output), "cancelled job left an output file");
    }
    for (const auto& entry : fs::directory_iterator(g_dir))
        Check(entry.path() == input || entry.path() == output, "stray file", entry.path().string());
    fs::remove(input);
    fs::remove(output);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The checks below compare the engine with itself; the worked square ties
    // it to the output it must give.
    const Settings worked{worked_square::kOffsetUnits, worked_square::kOvercutUnits};
    Check(ConvertInMemory(reinterpret_cast<const uint8_t*>(worked_square::kPlot),
                          sizeof worked_square::kPlot - 1, worked, false,
                          SIZE_MAX) == worked_square::kCompensatedFile,
          "the worked square converts to other bytes");
    RemoveStaleDirs();
    g_dir = fs::path("/dev/shm") / (kDirPrefix + std::to_string(::getpid()));
    fs::create_directories(g_dir);
    std::atexit(RemoveDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    constexpr size_t kHead = 5;
    if (size < kHead || size - kHead >= UINT32_MAX) return 0;
    const Settings s = DrawSettings(bytes);
    const uint8_t* data = bytes + kHead;
    const uint32_t length = static_cast<uint32_t>(size - kHead);

    const std::string fileStream = ConvertInMemory(data, length, s, false, SIZE_MAX);
    const auto fileLines = ParseFinishedStream(fileStream, kFileHeader);

    if (s.offset == 0 && s.overcut == 0) {
        const auto points = MappedInputPoints(data, length);
        for (const OutputLine& line : fileLines)
            Check(points.count({line.second, line.first}) == 1, "line to a point no input set",
                  std::to_string(line.first) + "," + std::to_string(line.second));
    }

    const std::string portStream = ConvertInMemory(data, length, s, true, s.piece);
    const auto portLines = ParseFinishedStream(portStream, kPortHeader);
    Check(portLines.size() == fileLines.size(), "port and file mode differ in lines");
    for (size_t i = 0; i < portLines.size(); ++i) {
        Check(portLines[i].letter == fileLines[i].letter &&
                  portLines[i].first == Shifted(fileLines[i].first, kPortShiftFirst) &&
                  portLines[i].second == Shifted(fileLines[i].second, kPortShiftSecond),
              "port line is not the shifted file line");
    }

    CheckFileJob(data, length, s, fileStream);
    return 0;
}
