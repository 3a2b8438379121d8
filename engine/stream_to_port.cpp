// Sends the finished stream, read back through the handle that wrote it, to the port in
// 1024-byte chunks with progress and cancel between chunks, then waits until all has left.
#include "stream_to_port.h"

#include "platform/file_size_limit.h"
#include "platform/output_file.h"
#include "platform/port_writer.h"
#include "progress_steps.h"

namespace {

JobOutcome OutcomeOf(const PortResult& port) {
    switch (port.status) {
        case PortStatus::Done: return JobResult::Completed;
        case PortStatus::Cancelled: return JobResult::Cancelled;
        case PortStatus::Failed: break;
    }
    return {JobResult::PortWriteFailed, port.reason};
}

}  // namespace

JobOutcome StreamToPort(const CutJob& job, const OutputFile& stream) {
    JobLink& link = *job.pDlg;
    auto askLink = [&link] { return link.IsCancelRequested(); };
    const CancelCheck isCancelled(askLink);
    PortWriter port(job.hPort);
    if (!stream.isOpen()) return {JobResult::StreamUnreadable, SystemError::Last()};
    if (SystemError error = CheckFileSize(stream.size()))
        return {JobResult::StreamUnreadable, error};
    if (port.setupError()) return {JobResult::PortWriteFailed, port.setupError()};

    const auto length = static_cast<uint32_t>(stream.size());
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
        if (SystemError error = stream.ReadAt(position, chunk, size))
            return {JobResult::StreamUnreadable, error};
        const PortResult written =
            port.Write(reinterpret_cast<const uint8_t*>(chunk), size, isCancelled);
        if (written.status != PortStatus::Done) return OutcomeOf(written);
        position += size;
        link.ChunkSent(++chunks, position);
        if (link.IsCancelRequested()) return JobResult::Cancelled;
    }
    // The job has ended only when the last bytes have left the driver for the
    // cutter; only then may the port be closed.
    return OutcomeOf(port.Drain(isCancelled));
}
