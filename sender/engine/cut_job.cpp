#include "cut_job.h"

#include <memory>

#include "command_scan.h"
#include "contour_cutter.h"
#include "platform/mapped_file.h"
#include "platform/output_file.h"
#include "progress_steps.h"
#include "stream_to_port.h"

namespace {

// Pass 1: the extent of every command, so that pass 2 can map the drawing.
JobResult ScanPlotExtent(const CutJob& job, ProgressSteps& progress) {
    MappedFile input;
    if (!input.Open(job.paths.plotFile)) return JobResult::InputUnreadable;
    progress.Start(input.length());
    ResetPlotExtent();
    CommandScanner scan(input.data(), input.length());
    char command[kCommandBufferSize];
    while (!scan.AtEnd()) {
        progress.Check(scan.position());
        if (scan.Next(command)) ScanExtent(command);
        if (job.pDlg->IsCancelRequested()) return JobResult::Cancelled;
    }
    return JobResult::Completed;
}

// Pass 2: map every command, drop repeated points, cut the contours.
JobResult WriteCutterStream(const CutJob& job, ProgressSteps& progress) {
    MappedFile input;
    if (!input.Open(job.paths.plotFileAgain)) return JobResult::InputUnreadable;
    OutputFile out;
    if (!out.Create(job.bToPort ? job.paths.streamFile : job.strPath))
        return JobResult::OutputNotCreated;
    progress.Start(input.length());

    auto buffered = std::make_unique<BufferedOutput>(out);
    MoveWriter writer(*buffered, job.bToPort != 0);
    writer.WriteText(job.bToPort ? kPortHeader : kFileHeader);
    ContourCutter cutter(writer, job.nOffsetUnits, job.nOvercutUnits);
    Pos_xyz lastPoint{0, 0, 0};

    CommandScanner scan(input.data(), input.length());
    char command[kCommandBufferSize];
    while (!scan.AtEnd()) {
        progress.Check(scan.position());
        // A repeated point is dropped without a progress or cancel check.
        for (;;) {
            if (!scan.Next(command)) {
                cutter.EndOfInput();
                break;
            }
            Pos_xyz p = ParsePoint(command);
            if (SamePlace(p, lastPoint)) continue;
            lastPoint = p;
            cutter.FeedPoint(p);
            break;
        }
        if (buffered->failed()) return JobResult::OutputWriteFailed;
        if (job.pDlg->IsCancelRequested()) return JobResult::Cancelled;
    }
    writer.WriteText(kFooter);
    if (!buffered->Flush() || !out.Commit()) return JobResult::OutputWriteFailed;
    return JobResult::Completed;
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
