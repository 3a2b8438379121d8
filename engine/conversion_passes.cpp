#include "conversion_passes.h"

#include "command_scan.h"
#include "contour_cutter.h"

std::optional<PlotExtent> RunExtentPass(const uint8_t* data, uint32_t length, JobLink& link,
                                        ProgressSteps& progress) {
    progress.Start(length);
    PlotExtent extent;
    CommandScanner scan(data, length);
    PenCommand command;
    while (!scan.AtEnd()) {
        progress.Check(scan.position());
        if (scan.Next(command)) ScanExtent(command.numbers, extent);
        if (link.IsCancelRequested()) return std::nullopt;
    }
    return extent;
}

JobResult RunCutPass(const uint8_t* data, uint32_t length, const PlotExtent& extent,
                     const CutSettings& settings, BufferedOutput& out, JobLink& link,
                     ProgressSteps& progress) {
    progress.Start(length);
    MoveWriter writer(out, settings.toPort);
    writer.WriteText(settings.toPort ? kPortHeader : kFileHeader);
    ContourCutter cutter(writer, settings.nOffsetUnits, settings.nOvercutUnits);
    // Every mapped point lies at 40 or more, so the first one is never dropped.
    Pos_xyz lastPoint{0, 0, 0};

    CommandScanner scan(data, length);
    PenCommand command;
    while (!scan.AtEnd()) {
        progress.Check(scan.position());
        // A repeated point is dropped without a progress or cancel check.
        for (;;) {
            if (!scan.Next(command)) {
                cutter.EndOfInput();
                break;
            }
            Pos_xyz p = MapPoint(command, extent);
            if (SamePlace(p, lastPoint)) continue;
            lastPoint = p;
            cutter.FeedPoint(p);
            break;
        }
        if (out.failed()) return JobResult::OutputWriteFailed;
        if (link.IsCancelRequested()) return JobResult::Cancelled;
    }
    writer.WriteText(kFooter);
    return out.Flush() ? JobResult::Completed : JobResult::OutputWriteFailed;
}
