// A whole job on the worker thread: both passes over the plot file (or another input), the
// output named only once complete, in port mode the stream sent through the handle that wrote
// it, one end report.
#include "engine/cut_job.h"

#include <memory>

#include "engine/conversion_passes.h"
#include "engine/pass_input.h"
#include "engine/platform/file_size_limit.h"
#include "engine/platform/input_file.h"
#include "engine/platform/output_file.h"
#include "engine/platform/same_file.h"
#include "engine/progress_steps.h"
#include "engine/stream_to_port.h"

namespace {

// The plot file, opened again for each pass; pass 2 must find the length pass 1 scanned.
class PlotFileInput : public PassInput {
public:
    explicit PlotFileInput(std::filesystem::path file) : file_(std::move(file)) {}
    SystemError Open() override {
        opened_.Close();
        return opened_.Open(file_);
    }
    SystemError ReadSome(uint8_t* into, size_t n, size_t& got) override {
        return opened_.ReadSome(into, n, got);
    }
    std::optional<uint32_t> length() const override { return opened_.length(); }
    // A file that ended early already failed the pass's reading.
    JobOutcome Finish() override { return JobResult::Completed; }
    const std::filesystem::path& file() const override { return file_; }

private:
    std::filesystem::path file_;
    InputFile opened_;
};

// Pass 1 over the input opened for it alone. `length` is what the pass read.
JobOutcome ScanPlotExtent(const CutJob& job, PassInput& input, ProgressSteps& progress,
                          PlotExtent& extent, uint32_t& length) {
    if (SystemError error = input.Open()) return {JobResult::InputUnreadable, error};
    JobOutcome outcome = RunExtentPass(input, input.length(), *job.pDlg, progress, extent);
    if (outcome.result == JobResult::Completed) outcome = input.Finish();
    if (outcome.result == JobResult::Completed) length = input.length().value_or(0);
    return outcome;
}

JobOutcome WriteCutterStream(const CutJob& job, PassInput& input, const PlotExtent& extent,
                             uint32_t scannedLength, ProgressSteps& progress, OutputFile& out,
                             OutputFile::Durability durability) {
    if (SystemError error = input.Open()) return {JobResult::InputUnreadable, error};
    // Pass 1's extent holds only for the bytes it scanned.
    if (input.length() != scannedLength)
        return {JobResult::InputChanged, SystemError(Refusal::ChangedWhileRead)};
    const std::filesystem::path& target = job.bToPort ? job.paths.streamFile : job.strPath;
    if (SystemError error = RefuseSameFile(input.file(), target))
        return {JobResult::OutputNotCreated, error};
    if (SystemError error = out.Create(target)) return {JobResult::OutputNotCreated, error};
    const CutSettings settings{job.nOffsetUnits, job.nOvercutUnits, job.bToPort != 0};
    auto buffered = std::make_unique<BufferedOutput>(out);  // 64 KiB: not on the stack
    JobOutcome outcome =
        RunCutPass(input, scannedLength, extent, settings, *buffered, *job.pDlg, progress);
    if (outcome.result == JobResult::Completed) outcome = input.Finish();
    if (outcome.result != JobResult::Completed) return outcome;
    // Only a finished stream takes the output's name; anything else is removed.
    if (SystemError error = out.Commit(durability)) return {JobResult::OutputWriteFailed, error};
    return JobResult::Completed;
}

JobOutcome Convert(const CutJob& job, PassInput& input, OutputFile& out,
                   OutputFile::Durability durability) {
    // The bar is not reset between the passes: pass 2 steps on from pass 1.
    ProgressSteps progress(*job.pDlg);
    PlotExtent extent;
    uint32_t length = 0;
    JobOutcome outcome = ScanPlotExtent(job, input, progress, extent, length);
    if (outcome.result == JobResult::Completed)
        outcome = WriteCutterStream(job, input, extent, length, progress, out, durability);
    return outcome;
}

}  // namespace

JobOutcome ConvertPlotFile(const CutJob& job) {
    PlotFileInput input(job.paths.plotFile);
    return ConvertPlotFile(job, input);
}

JobOutcome ConvertPlotFile(const CutJob& job, PassInput& input) {
    OutputFile out;
    return Convert(job, input, out, OutputFile::Durability::Flushed);
}

JobOutcome ConvertForSending(const CutJob& job, OutputFile& stream) {
    PlotFileInput input(job.paths.plotFile);
    return ConvertForSending(job, input, stream);
}

JobOutcome ConvertForSending(const CutJob& job, PassInput& input, OutputFile& stream) {
    stream.LimitSize(kLargestFileSize);
    return Convert(job, input, stream, OutputFile::Durability::Unflushed);
}

JobOutcome RunCutJob(const CutJob& job) {
    JobOutcome outcome;
    if (job.bToPort) {
        OutputFile stream;  // closed before the end is reported
        outcome = ConvertForSending(job, stream);
        if (outcome.result == JobResult::Completed) outcome = StreamToPort(job, stream);
    } else {
        outcome = ConvertPlotFile(job);
    }
    job.pDlg->JobEnded(outcome);
    return outcome;
}

unsigned CutJobThread(void* record) {
    CutJob job;
    {
        std::unique_ptr<CutJob> owned(static_cast<CutJob*>(record));
        job = *owned;
    }
    RunCutJob(job);
    return 0;
}
