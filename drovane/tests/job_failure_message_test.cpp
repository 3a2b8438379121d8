// Which message each job outcome shows: none for a completed or cancelled job, a failure
// message for every other result, unknown ones included.
#include "job_failure_message.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring MessageFor(JobResult result) {
    const wchar_t* message = JobFailureMessage(result);
    return message ? message : L"(none)";
}

}  // namespace

TEST(JobFailureMessage, CompletedAndCancelledJobsSayNothing) {
    EXPECT_EQ(MessageFor(JobResult::Completed), L"(none)");
    EXPECT_EQ(MessageFor(JobResult::Cancelled), L"(none)");
}

TEST(JobFailureMessage, EachFailureNamesWhatWentWrong) {
    EXPECT_EQ(MessageFor(JobResult::InputUnreadable), L"read plot file fail!");
    EXPECT_EQ(MessageFor(JobResult::InputChanged), L"read plot file fail!");
    EXPECT_EQ(MessageFor(JobResult::OutputNotCreated), L"write file fail!");
    EXPECT_EQ(MessageFor(JobResult::OutputWriteFailed), L"write file fail!");
    EXPECT_EQ(MessageFor(JobResult::StreamUnreadable), L"send fail!");
    EXPECT_EQ(MessageFor(JobResult::PortWriteFailed), L"send fail!");
}

TEST(JobFailureMessage, AnUnknownNonZeroResultIsAFailure) {
    EXPECT_EQ(MessageFor(static_cast<JobResult>(99)), L"send fail!");
}
