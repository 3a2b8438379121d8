// A whole job on the worker thread: both passes over the plot file, the output named only
// once complete, in port mode the stream sent through the handle that wrote it, one end report.
#include "engine/cut_job.h"

#include <memory>

#include "engine/conversion_passes.h"
#include "engine/platform/file_size_limit.h"
#include "engine/platform/input_file.h"
#include "engine/platform/output_file.h"
#include "engine/platform/same_file.h"
#include "engine/progress_steps.h"
#include "engine/stream_to_port.h"

namespace {

// Pass 1 over the plot file opened for it alone, closed before pass 2 opens it
// again. `length` is what the pass read.
JobOutcome ScanPlotExtent(const CutJob& job, ProgressSteps& progress, PlotExtent& extent,
                          uint32_t& length) {
    InputFile input;
    if (SystemError error = input.Open(job.paths.plotFile))
        return {JobResult::InputUnreadable, error};
    length = input.length();
    return RunExtentPass(input, length, *job.pDlg, progress, extent);
}

JobOutcome WriteCutterStream(const CutJob& job, const PlotExtent& extent, uint32_t scannedLength,
                             ProgressSteps& progress, OutputFile& out,
                             OutputFile::Durability durability) {
    InputFile input;
    if (SystemError error = input.Open(job.paths.plotFile))
        return {JobResult::InputUnreadable, error};
    // Pass 1's extent holds only for the bytes it scanned.
    if (input.length() != scannedLength)
        return {JobResult::InputChanged, SystemError(Refusal::ChangedWhileRead)};
    const std::filesystem::path& target = job.bToPort ? job.paths.streamFile : job.strPath;
    if (SystemError error = RefuseSameFile(job.paths.plotFile, target))
        return {JobResult::OutputNotCreated, error};
    if (SystemError error = out.Create(target)) return {JobResult::OutputNotCreated, error};
    const CutSettings settings{job.nOffsetUnits, job.nOvercutUnits, job.bToPort != 0};
    auto buffered = std::make_unique<BufferedOutput>(out);  // 64 KiB: not on the stack
    const JobOutcome outcome =
        RunCutPass(input, input.length(), extent, settings, *buffered, *job.pDlg, progress);
    if (outcome.result != JobResult::Completed) return outcome;
    // Only a finished stream takes the output's name; anything else is removed.
    if (SystemError error = out.Commit(durability)) return {JobResult::OutputWriteFailed, error};
    return JobResult::Completed;
}

JobOutcome Convert(const CutJob& job, OutputFile& out, OutputFile::Durability durability) {
    // The bar is not reset between the passes: pass 2 steps on from pass 1.
    ProgressSteps progress(*job.pDlg);
    PlotExtent extent;
    uint32_t length = 0;
    JobOutcome outcome = ScanPlotExtent(job, progress, extent, length);
    if (outcome.result == JobResult::Completed)
        outcome = WriteCutterStream(job, extent, length, progress, out, durability);
    return outcome;
}

}  // namespace

JobOutcome ConvertPlotFile(const CutJob& job) {
    OutputFile out;
    return Convert(job, out, OutputFile::Durability::Flushed);
}

JobOutcome ConvertForSending(const CutJob& job, OutputFile& stream) {
    stream.LimitSize(kLargestFileSize);
    return Convert(job, stream, OutputFile::Durability::Unflushed);
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
