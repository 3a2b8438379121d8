#include "cut_job.h"

#include <memory>

#include "conversion_passes.h"
#include "platform/file_size_limit.h"
#include "platform/mapped_file.h"
#include "platform/output_file.h"
#include "platform/same_file.h"
#include "progress_steps.h"
#include "stream_to_port.h"

namespace {

// Pass 1 over its own mapping of the plot file, closed before pass 2 opens it again.
JobOutcome ScanPlotExtent(const CutJob& job, ProgressSteps& progress, PlotExtent& extent) {
    MappedFile input;
    if (SystemError error = input.Open(job.paths.plotFile))
        return {JobResult::InputUnreadable, error};
    std::optional<PlotExtent> found =
        RunExtentPass(input.data(), input.length(), *job.pDlg, progress);
    if (!found) return JobResult::Cancelled;
    extent = *found;
    return JobResult::Completed;
}

JobOutcome WriteCutterStream(const CutJob& job, const PlotExtent& extent, ProgressSteps& progress,
                             OutputFile& out, OutputFile::Durability durability) {
    MappedFile input;
    if (SystemError error = input.Open(job.paths.plotFile))
        return {JobResult::InputUnreadable, error};
    const std::filesystem::path& target = job.bToPort ? job.paths.streamFile : job.strPath;
    if (SystemError error = RefuseSameFile(job.paths.plotFile, target))
        return {JobResult::OutputNotCreated, error};
    if (SystemError error = out.Create(target)) return {JobResult::OutputNotCreated, error};
    const CutSettings settings{job.nOffsetUnits, job.nOvercutUnits, job.bToPort != 0};
    auto buffered = std::make_unique<BufferedOutput>(out);  // 64 KiB: not on the stack
    const JobResult result =
        RunCutPass(input.data(), input.length(), extent, settings, *buffered, *job.pDlg, progress);
    if (result == JobResult::OutputWriteFailed) return {result, buffered->error()};
    if (result != JobResult::Completed) return result;
    // Only a finished stream takes the output's name; anything else is removed.
    if (SystemError error = out.Commit(durability)) return {JobResult::OutputWriteFailed, error};
    return JobResult::Completed;
}

JobOutcome Convert(const CutJob& job, OutputFile& out, OutputFile::Durability durability) {
    // The bar is not reset between the passes: pass 2 steps on from pass 1.
    ProgressSteps progress(*job.pDlg);
    PlotExtent extent;
    JobOutcome outcome = ScanPlotExtent(job, progress, extent);
    if (outcome.result == JobResult::Completed)
        outcome = WriteCutterStream(job, extent, progress, out, durability);
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
        OutputFile stream;  // closed before the done notification
        outcome = ConvertForSending(job, stream);
        if (outcome.result == JobResult::Completed) outcome = StreamToPort(job, stream);
    } else {
        outcome = ConvertPlotFile(job);
    }
    job.pDlg->PostDone(outcome.result);
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
