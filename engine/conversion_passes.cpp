// The two passes over the plot file, each one reading loop on the job's thread: the extent,
// then header, the cutter's corrected moves and footer.
#include "engine/conversion_passes.h"

#include "engine/command_reader.h"
#include "engine/contour_cutter.h"

JobOutcome RunExtentPass(ByteReader& input, std::optional<uint32_t> length, JobLink& link,
                         ProgressSteps& progress, PlotExtent& extent) {
    progress.Start(JobStage::ExtentScan, length.value_or(0));
    extent = PlotExtent{};
    CommandReader reader(input, length);
    PenCommand command;
    while (!reader.AtEnd()) {
        progress.Check(reader.position());
        if (reader.Next(command)) ScanExtent(command.numbers, extent);
        if (link.IsCancelRequested()) return JobResult::Cancelled;
    }
    return reader.outcome();
}

JobOutcome RunCutPass(ByteReader& input, uint32_t length, const PlotExtent& extent,
                      const CutSettings& settings, BufferedOutput& out, JobLink& link,
                      ProgressSteps& progress) {
    progress.Start(JobStage::Conversion, length);
    MoveWriter writer(out, settings.toPort);
    writer.WriteText(settings.toPort ? kPortHeader : kFileHeader);
    ContourCutter cutter(writer, settings.nOffsetUnits, settings.nOvercutUnits);
    // Every mapped point lies at 40 or more, so the first one is never dropped.
    Pos_xyz lastPoint{0, 0, 0};

    CommandReader reader(input, length);
    PenCommand command;
    while (!reader.AtEnd()) {
        progress.Check(reader.position());
        // A repeated point is dropped without a progress or cancel check.
        for (;;) {
            if (!reader.Next(command)) {
                cutter.EndOfInput();
                break;
            }
            const Pos_xyz p = MapPoint(command, extent);
            if (SamePlace(p, lastPoint)) continue;
            lastPoint = p;
            cutter.FeedPoint(p);
            break;
        }
        if (out.failed()) return {JobResult::OutputWriteFailed, out.error()};
        if (link.IsCancelRequested()) return JobResult::Cancelled;
    }
    if (reader.outcome().result != JobResult::Completed) return reader.outcome();
    writer.WriteText(kFooter);
    if (!out.Flush()) return {JobResult::OutputWriteFailed, out.error()};
    return JobResult::Completed;
}
