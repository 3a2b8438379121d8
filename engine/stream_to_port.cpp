#include "stream_to_port.h"

#include <charconv>

#include "platform/mapped_file.h"
#include "platform/port_writer.h"
#include "progress_steps.h"
#include "wrapping_math.h"

static void ShowCounter(JobLink& link, int32_t counter) {
    char text[16];
    *std::to_chars(text, text + sizeof text - 1, counter).ptr = '\0';
    link.SetStatusText(text);
}

JobOutcome StreamToPort(const CutJob& job) {
    JobLink& link = *job.pDlg;
    PortWriter port(job.hPort, job.portWaitMs);
    MappedFile stream;
    if (SystemError error = stream.Open(job.paths.streamFile))
        return {JobResult::StreamUnreadable, error};
    if (!port.ready()) return {JobResult::PortWriteFailed, port.error()};

    const uint32_t length = stream.length();
    ProgressSteps progress(link);
    link.ProgressSetPos(0);
    progress.Start(length);

    // The counter runs ahead of the bytes: 1124 per chunk, whatever its size.
    int32_t sentCounter = 0;
    uint32_t position = 0;
    while (position < length) {
        progress.Check(position);
        const uint32_t size =
            length - position > kPortChunkSize ? kPortChunkSize : length - position;
        const PortWrite written = port.Write(stream.data() + position, size);
        if (written == PortWrite::Failed) return {JobResult::PortWriteFailed, port.error()};
        if (written == PortWrite::TimedOut) return JobResult::PortTimedOut;
        position += size;
        sentCounter = Add32(sentCounter, harvel::kCounterStepPerChunk);
        ShowCounter(link, sentCounter);
        if (link.IsCancelRequested()) return JobResult::Cancelled;
    }
    return JobResult::Completed;
}
