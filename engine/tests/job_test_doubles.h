#pragma once
// Stand-ins for the dialog and the output file, shared by the engine's tests
// and the fuzz targets: a link that records what the worker tells the dialog
// and can ask to cancel, and a writer that keeps the bytes in a string.
#include <string>
#include <vector>

#include "engine/job_link.h"
#include "engine/output_sink.h"

class RecordingLink : public JobLink {
public:
    bool IsCancelRequested() override {
        ++cancelPolls;
        return cancelAfterPolls >= 0 && cancelPolls > cancelAfterPolls;
    }
    void StageStarted(JobStage stage, uint32_t length) override {
        static const char* const kNames[] = {"scan", "cut", "stream"};
        events.push_back(std::string("start ") + kNames[static_cast<int>(stage)] + " " +
                         std::to_string(length));
    }
    void StageAdvanced(uint32_t position) override {
        events.push_back("at " + std::to_string(position));
    }
    void ChunkSent(uint32_t chunks, uint32_t bytesSent) override {
        events.push_back("chunk " + std::to_string(chunks) + " " + std::to_string(bytesSent));
    }
    void JobEnded(const JobOutcome& outcome) override {
        ++doneCount;
        lastResult = outcome.result;
    }

    // Events that begin with `prefix`.
    int Count(const std::string& prefix) const {
        int n = 0;
        for (const auto& e : events) n += e.rfind(prefix, 0) == 0;
        return n;
    }

    int cancelAfterPolls = -1;  // cancel once this many polls have been answered
    int cancelPolls = 0;
    std::vector<std::string> events;
    int doneCount = 0;
    JobResult lastResult = JobResult::Completed;
};

class StringWriter : public ByteWriter {
public:
    SystemError WriteAll(const char* data, size_t n) override {
        text.append(data, n);
        return {};
    }
    std::string text;
};
