#include "cut_job.h"

#include <memory>

#include "conversion_passes.h"
#include "platform/mapped_file.h"
#include "platform/output_file.h"
#include "progress_steps.h"
#include "stream_to_port.h"

namespace {

JobResult ScanPlotExtent(const CutJob& job, ProgressSteps& progress) {
    MappedFile input;
    if (!input.Open(job.paths.plotFile)) return JobResult::InputUnreadable;
    return RunExtentPass(input.data(), input.length(), *job.pDlg, progress);
}

JobResult WriteCutterStream(const CutJob& job, ProgressSteps& progress) {
    MappedFile input;
    if (!input.Open(job.paths.plotFileAgain)) return JobResult::InputUnreadable;
    OutputFile out;
    if (!out.Create(job.bToPort ? job.paths.streamFile : job.strPath))
        return JobResult::OutputNotCreated;
    const CutSettings settings{job.nOffsetUnits, job.nOvercutUnits, job.bToPort != 0};
    auto buffered = std::make_unique<BufferedOutput>(out);  // 64 KiB: not on the stack
    JobResult result =
        RunCutPass(input.data(), input.length(), settings, *buffered, *job.pDlg, progress);
    // Only a finished stream takes the output's name; anything else is removed.
    if (result == JobResult::Completed && !out.Commit()) result = JobResult::OutputWriteFailed;
    return result;
}

}  // namespace

JobResult ConvertPlotFile(const CutJob& job) {
    // The bar is not reset between the passes: pass 2 steps on from pass 1.
    ProgressSteps progress(*job.pDlg);
    JobResult result = ScanPlotExtent(job, progress);
    if (result == JobResult::Completed) result = WriteCutterStream(job, progress);
    return result;
}

JobResult RunCutJob(const CutJob& job) {
    JobResult result = ConvertPlotFile(job);
    if (result == JobResult::Completed && job.bToPort) result = StreamToPort(job);
    job.pDlg->PostDone(result);
    return result;
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
