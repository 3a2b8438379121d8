#pragma once
#include <cstdint>

// How a job ended. The dialog receives it as the done notification's wParam:
// 0 for a job that ran to its end, non-zero otherwise.
enum class JobResult : int32_t {
    Completed = 0,
    Cancelled = 1,
    InputUnreadable = 2,    // the plot file could not be opened in one of the passes
    OutputNotCreated = 3,   // the output or stream file could not be created
    OutputWriteFailed = 4,  // writing the output failed part way (disk full)
    StreamUnreadable = 5,   // the finished stream file could not be opened again
    PortWriteFailed = 6,    // the port refused a chunk or went away
};

// Everything the worker may touch of the dialog while a job runs. The dialog
// implements it with window messages that wait for its own thread (progress bar,
// status text) and one posted message for the end; tools and tests implement it
// with plain objects.
class JobLink {
public:
    virtual ~JobLink() = default;
    virtual bool IsCancelRequested() = 0;
    virtual void ProgressSetRange(uint16_t upper) = 0;  // lower bound 0
    virtual void ProgressSetStep(int32_t step) = 0;
    virtual void ProgressStepIt() = 0;
    virtual void ProgressSetPos(int32_t pos) = 0;
    virtual void SetStatusText(const char* text) = 0;  // ASCII digits
    // Exactly once per job, as the worker's last act toward the dialog, after it
    // has closed every file it opened.
    virtual void PostDone(JobResult result) = 0;
};

// A job that nobody watches: progress and status go nowhere and it is never
// cancelled. Tools derive from it to note just what they need.
class SilentJobLink : public JobLink {
public:
    bool IsCancelRequested() override { return false; }
    void ProgressSetRange(uint16_t) override {}
    void ProgressSetStep(int32_t) override {}
    void ProgressStepIt() override {}
    void ProgressSetPos(int32_t) override {}
    void SetStatusText(const char*) override {}
    void PostDone(JobResult) override {}
};
