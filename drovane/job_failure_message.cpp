// The message a failed job shows, one per kind of failure; completed and cancelled jobs get none.
#include "job_failure_message.h"

const wchar_t* JobFailureMessage(JobResult result) {
    switch (result) {
        case JobResult::Completed:
        case JobResult::Cancelled: return nullptr;
        case JobResult::InputUnreadable:
        case JobResult::InputRefused:
        case JobResult::InputChanged: return L"read plot file fail!";
        case JobResult::OutputNotCreated:
        case JobResult::OutputWriteFailed: return L"write file fail!";
        case JobResult::StreamUnreadable:
        case JobResult::PortWriteFailed: return L"send fail!";
    }
    return L"send fail!";
}
