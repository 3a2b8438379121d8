#include "cut_job.h"

#include <memory>

#include "conversion_passes.h"
#include "platform/input_file.h"
#include "platform/output_file.h"
#include "progress_steps.h"
#include "stream_to_port.h"

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
                             ProgressSteps& progress) {
    InputFile input;
    if (SystemError error = input.Open(job.paths.plotFile))
        return {JobResult::InputUnreadable, error};
    // Pass 1's extent holds only for the bytes it scanned.
    if (input.length() != scannedLength) return JobResult::InputChanged;
    OutputFile out;
    if (SystemError error = out.Create(job.bToPort ? job.paths.streamFile : job.strPath))
        return {JobResult::OutputNotCreated, error};
    const CutSettings settings{job.nOffsetUnits, job.nOvercutUnits, job.bToPort != 0};
    auto buffered = std::make_unique<BufferedOutput>(out);  // 64 KiB: not on the stack
    const JobOutcome outcome =
        RunCutPass(input, input.length(), extent, settings, *buffered, *job.pDlg, progress);
    if (outcome.result != JobResult::Completed) return outcome;
    // Only a finished stream takes the output's name; anything else is removed.
    if (SystemError error = out.Commit()) return {JobResult::OutputWriteFailed, error};
    return JobResult::Completed;
}

}  // namespace

JobOutcome ConvertPlotFile(const CutJob& job) {
    // The bar is not reset between the passes: pass 2 steps on from pass 1.
    ProgressSteps progress(*job.pDlg);
    PlotExtent extent;
    uint32_t length = 0;
    JobOutcome outcome = ScanPlotExtent(job, progress, extent, length);
    if (outcome.result == JobResult::Completed)
        outcome = WriteCutterStream(job, extent, length, progress);
    return outcome;
}

JobOutcome RunCutJob(const CutJob& job) {
    JobOutcome outcome = ConvertPlotFile(job);
    if (outcome.result == JobResult::Completed && job.bToPort) outcome = StreamToPort(job);
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
