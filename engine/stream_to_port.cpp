#include "stream_to_port.h"

#include "platform/mapped_file.h"
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

JobOutcome StreamToPort(const CutJob& job) {
    JobLink& link = *job.pDlg;
    auto askLink = [&link] { return link.IsCancelRequested(); };
    const CancelCheck isCancelled(askLink);
    PortWriter port(job.hPort);
    MappedFile stream;
    if (SystemError error = stream.Open(job.paths.streamFile))
        return {JobResult::StreamUnreadable, error};
    if (port.setupError()) return {JobResult::PortWriteFailed, port.setupError()};

    const uint32_t length = stream.length();
    ProgressSteps progress(link);
    progress.Start(JobStage::Streaming, length);

    // While the cutter holds the line, nothing is reported.
    uint32_t chunks = 0;
    uint32_t position = 0;
    while (position < length) {
        progress.Check(position);
        const uint32_t size =
            length - position > harvel::kPortChunkSize ? harvel::kPortChunkSize : length - position;
        const PortResult written = port.Write(stream.data() + position, size, isCancelled);
        if (written.status != PortStatus::Done) return OutcomeOf(written);
        position += size;
        link.ChunkSent(++chunks, position);
        if (link.IsCancelRequested()) return JobResult::Cancelled;
    }
    // The job has ended only when the last bytes have left the driver for the
    // cutter; only then may the port be closed.
    return OutcomeOf(port.Drain(isCancelled));
}
