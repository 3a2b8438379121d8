#pragma once
#include <cstdint>

#include "engine/job_outcome.h"

// The stages of a job, each a run over a number of bytes.
enum class JobStage : uint8_t {
    ExtentScan,  // pass 1 over the plot file
    Conversion,  // pass 2 over the plot file, writing the output
    Streaming,   // the stream file going out to the port
};

// What the job tells whoever watches it, in the job's own terms, and the one
// question it asks. The dialog turns the reports into its progress bar and
// byte counter; tools and tests use plain objects. Every call comes from the
// job's thread.
class JobLink {
public:
    virtual ~JobLink() = default;
    virtual bool IsCancelRequested() = 0;
    // A stage begins over `length` bytes.
    virtual void StageStarted(JobStage stage, uint32_t length) = 0;
    // The stage has reached `position`, which lies in a block of 1024 bytes
    // later than the one last reported (at most one report per block).
    virtual void StageAdvanced(uint32_t position) = 0;
    // One more chunk has gone to the port: `chunks` so far, `bytesSent` of
    // the stream in all.
    virtual void ChunkSent(uint32_t chunks, uint32_t bytesSent) = 0;
    // Exactly once per job, as the worker's last act toward the dialog, after it
    // has closed every file it opened.
    virtual void JobEnded(const JobOutcome& outcome) = 0;
};

// A job that nobody watches: the reports go nowhere and it is never
// cancelled. Tools derive from it to note just what they need.
class SilentJobLink : public JobLink {
public:
    bool IsCancelRequested() override { return false; }
    void StageStarted(JobStage, uint32_t) override {}
    void StageAdvanced(uint32_t) override {}
    void ChunkSent(uint32_t, uint32_t) override {}
    void JobEnded(const JobOutcome&) override {}
};
