// Which message each job outcome shows: none for a completed or cancelled job, a failure
// message for every other result, unknown ones included.
#include "job_failure_message.h"

#include <gtest/gtest.h>

#include <string>

TEST(JobFailureMessage, EachOutcomeShowsItsMessage) {
    const struct {
        JobResult result;
        const wchar_t* message;  // nullptr: the job says nothing
    } kCases[] = {
        {JobResult::Completed, nullptr},
        {JobResult::Cancelled, nullptr},
        {JobResult::InputUnreadable, L"read plot file fail!"},
        {JobResult::InputChanged, L"read plot file fail!"},
        {JobResult::OutputNotCreated, L"write file fail!"},
        {JobResult::OutputWriteFailed, L"write file fail!"},
        {JobResult::StreamUnreadable, L"send fail!"},
        {JobResult::PortWriteFailed, L"send fail!"},
        {static_cast<JobResult>(99), L"send fail!"},  // an unknown result is a failure
    };
    for (const auto& c : kCases) {
        const wchar_t* shown = JobFailureMessage(c.result);
        EXPECT_EQ(std::wstring(shown ? shown : L"(none)"),
                  std::wstring(c.message ? c.message : L"(none)"))
            << "result " << static_cast<int>(c.result);
    }
}
