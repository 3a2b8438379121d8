#include "job_link.h"

const char* JobResultText(JobResult result) {
    switch (result) {
        case JobResult::Completed: return "completed";
        case JobResult::Cancelled: return "cancelled";
        case JobResult::InputUnreadable: return "cannot read the plot file";
        case JobResult::OutputNotCreated: return "cannot create the output file";
        case JobResult::OutputWriteFailed: return "cannot write the output file";
        case JobResult::StreamUnreadable: return "cannot read the stream file";
        case JobResult::PortWriteFailed: return "the port refused the data";
        case JobResult::PortTimedOut: return "the port stopped accepting data";
    }
    return "unknown";
}
