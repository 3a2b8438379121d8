#include "cut_job.h"

#include <memory>

#include "conversion_passes.h"
#include "platform/mapped_file.h"
#include "platform/output_file.h"
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

JobOutcome WriteCutterStream(const CutJob& job, const PlotExtent& extent, ProgressSteps& progress) {
    MappedFile input;
    if (SystemError error = input.Open(job.paths.plotFile))
        return {JobResult::InputUnreadable, error};
    OutputFile out;
    if (SystemError error = out.Create(job.bToPort ? job.paths.streamFile : job.strPath))
        return {JobResult::OutputNotCreated, error};
    const CutSettings settings{job.nOffsetUnits, job.nOvercutUnits, job.bToPort != 0};
    auto buffered = std::make_unique<BufferedOutput>(out);  // 64 KiB: not on the stack
    const JobResult result =
        RunCutPass(input.data(), input.length(), extent, settings, *buffered, *job.pDlg, progress);
    if (result == JobResult::OutputWriteFailed) return {result, buffered->error()};
    if (result != JobResult::Completed) return result;
    // Only a finished stream takes the output's name; anything else is removed.
    if (SystemError error = out.Commit()) return {JobResult::OutputWriteFailed, error};
    return JobResult::Completed;
}

}  // namespace

JobOutcome ConvertPlotFile(const CutJob& job) {
    // The bar is not reset between the passes: pass 2 steps on from pass 1.
    ProgressSteps progress(*job.pDlg);
    PlotExtent extent;
    JobOutcome outcome = ScanPlotExtent(job, progress, extent);
    if (outcome.result == JobResult::Completed) outcome = WriteCutterStream(job, extent, progress);
    return outcome;
}

JobOutcome RunCutJob(const CutJob& job) {
    JobOutcome outcome = ConvertPlotFile(job);
    if (outcome.result == JobResult::Completed && job.bToPort) outcome = StreamToPort(job);
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
