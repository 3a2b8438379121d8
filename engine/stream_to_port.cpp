// Sends the finished stream, read back through the handle that wrote it, to the port in
// 1024-byte chunks with progress and cancel between chunks, then waits until all has left.
#include "engine/stream_to_port.h"

#include "engine/platform/file_size_limit.h"
#include "engine/platform/output_file.h"
#include "engine/platform/port_writer.h"
#include "engine/progress_steps.h"

namespace {

JobOutcome OutcomeOf(const PortResult& port) {
    switch (port.status) {
        case PortStatus::Done: return JobResult::Completed;
        case PortStatus::Cancelled: return JobResult::Cancelled;
        case PortStatus::Failed: break;
    }
    return {JobResult::PortWriteFailed, port.reason};
}

// A stream that ends before its last byte: a cancel brings the cutter to a
// command boundary with the knife up; a failed port can take nothing more.
JobOutcome Stopped(PortWriter& port, const SentStream& stream, const PortResult& why,
                   uint32_t taken, StreamStop& stop) {
    stop = {taken, StopEnding::NotEnded};
    if (why.status != PortStatus::Cancelled) return OutcomeOf(why);
    if (taken == 0) {
        stop.ending = StopEnding::NothingSent;
        return JobResult::Cancelled;
    }
    std::string tail;
    if (SystemError error = StopTail(stream, taken, tail))
        return {JobResult::StreamUnreadable, error};
    stop.ending = EndStoppedStream(port, tail);
    return JobResult::Cancelled;
}

}  // namespace

JobOutcome StreamToPort(const CutJob& job, const OutputFile& stream) {
    StreamStop stop;
    return StreamToPort(job, stream, StreamGap{}, stop);
}

JobOutcome StreamToPort(const CutJob& job, const OutputFile& file, StreamGap gap,
                        StreamStop& stop) {
    JobLink& link = *job.pDlg;
    auto askLink = [&link] { return link.IsCancelRequested(); };
    const CancelCheck isCancelled(askLink);
    PortWriter port(job.hPort);
    if (!file.isOpen()) return {JobResult::StreamUnreadable, SystemError::Last()};
    if (SystemError error = CheckFileSize(file.size())) return {JobResult::StreamUnreadable, error};
    if (port.setupError()) return {JobResult::PortWriteFailed, port.setupError()};

    const SentStream stream(file, gap);
    const uint32_t length = stream.size();
    char chunk[harvel::kPortChunkSize];
    ProgressSteps progress(link);
    progress.Start(JobStage::Streaming, length);

    // While the cutter holds the line, nothing is reported.
    uint32_t chunks = 0;
    uint32_t position = 0;
    while (position < length) {
        progress.Check(position);
        const uint32_t size =
            length - position > harvel::kPortChunkSize ? harvel::kPortChunkSize : length - position;
        if (SystemError error = stream.ReadAt(position, chunk, size)) {
            stop = {position, StopEnding::NotEnded};
            return {JobResult::StreamUnreadable, error};
        }
        const PortResult written =
            port.Write(reinterpret_cast<const uint8_t*>(chunk), size, isCancelled);
        if (written.status != PortStatus::Done)
            return Stopped(port, stream, written, position + written.written, stop);
        position += size;
        link.ChunkSent(++chunks, position);
        if (link.IsCancelRequested())
            return Stopped(port, stream, {PortStatus::Cancelled, {}, 0}, position, stop);
    }
    // The job has ended only when the last bytes have left the driver for the
    // cutter; only then may the port be closed.
    const PortResult drained = port.Drain(isCancelled);
    if (drained.status != PortStatus::Done) return Stopped(port, stream, drained, length, stop);
    stop = {length, StopEnding::Ended};
    return JobResult::Completed;
}
