#pragma once
// A cutter that stays on between jobs: the bytes of several jobs in a row on
// one line, decoded as one cutter would (a half command completed by the next
// job's first bytes included) and judged job by job.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "stream_decoder.h"

enum class JobStart {
    Clean,          // the job's header came between two commands
    InsideCommand,  // it completed a command the job before left unfinished
};

enum class JobEnd {
    Ending,         // the stream's ending after a whole command: knife up
    InsideCommand,  // the line ended, or the next job came, inside a command
    NoEnding,       // between two commands, but without the ending
};

struct SequenceJob {
    CutSummary summary;  // the job alone, from its header on
    JobStart start = JobStart::Clean;
    std::string strayCommand;           // the unfinished command its header completed
    std::optional<KnifePoint> strayTo;  // where that took the knife, if it read as a move
    bool strayCut = false;              // ... with the knife down
    JobEnd end = JobEnd::NoEnding;
    bool knifeDown = false;  // after the job's last move, where no ending came

    // Began and ended cleanly, and its stream decoded cleanly.
    bool Clean() const {
        return start == JobStart::Clean && end == JobEnd::Ending && summary.Clean();
    }
};

class JobSequence : public StreamConsumer {
public:
    explicit JobSequence(StrokeSink* sink = nullptr) : sink_(sink) {}

    size_t Feed(const char* data, size_t n) override;
    void EndOfStream() override;
    // A sequence ends only with its input.
    bool finished() const override { return false; }

    const std::vector<SequenceJob>& jobs() const { return jobs_; }

private:
    void Line();
    void BeginJob();
    void EndJob(JobEnd end);
    void StrayCommand(const std::string& text, SequenceJob& next);

    static constexpr size_t kMaxHeld = 64;  // longer lines hide no header
    StrokeSink* sink_;
    std::unique_ptr<StreamDecoder> decoder_;  // the job in progress, if any
    bool jobHasLines_ = false;
    std::vector<SequenceJob> jobs_;
    std::string line_;  // the line so far
    bool lineLong_ = false;
};

// "job=2 bytes=... complete start=inside-command stray=D2072,17 knife=cut-to:13.700,6.000
// end=ending", one line per job.
std::string FormatSequenceJob(size_t number, const SequenceJob& job);
