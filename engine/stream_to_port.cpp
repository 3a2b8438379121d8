#include "stream_to_port.h"

#include <charconv>

#include "platform/mapped_file.h"
#include "platform/port_writer.h"
#include "progress_steps.h"
#include "wrapping_math.h"

namespace {

void ShowCounter(JobLink& link, int32_t counter) {
    char text[16];
    *std::to_chars(text, text + sizeof text - 1, counter).ptr = '\0';
    link.SetStatusText(text);
}

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
    link.ProgressSetPos(0);
    progress.Start(length);

    // The counter runs ahead of the bytes: 1124 per chunk, whatever its size.
    // While the cutter holds the line, counter and bar stay where they are.
    int32_t sentCounter = 0;
    uint32_t position = 0;
    while (position < length) {
        progress.Check(position);
        const uint32_t size =
            length - position > harvel::kPortChunkSize ? harvel::kPortChunkSize : length - position;
        const PortResult written = port.Write(stream.data() + position, size, isCancelled);
        if (written.status != PortStatus::Done) return OutcomeOf(written);
        position += size;
        sentCounter = Add32(sentCounter, harvel::kCounterStepPerChunk);
        ShowCounter(link, sentCounter);
        if (link.IsCancelRequested()) return JobResult::Cancelled;
    }
    // The job has ended only when the last bytes have left the driver for the
    // cutter; only then may the port be closed.
    return OutcomeOf(port.Drain(isCancelled));
}
