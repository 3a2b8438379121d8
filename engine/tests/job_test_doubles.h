#pragma once
// Stand-ins for the dialog and the output file, shared by the engine's tests
// and the fuzz targets: a link that records what the worker tells the dialog
// and can ask to cancel, and a writer that keeps the bytes in a string.
#include <string>
#include <vector>

#include "job_link.h"
#include "output_sink.h"

class RecordingLink : public JobLink {
public:
    bool IsCancelRequested() override {
        ++cancelPolls;
        return cancelAfterPolls >= 0 && cancelPolls > cancelAfterPolls;
    }
    void ProgressSetRange(uint16_t upper) override {
        events.push_back("range " + std::to_string(upper));
    }
    void ProgressSetStep(int32_t step) override {
        events.push_back("step " + std::to_string(step));
    }
    void ProgressStepIt() override { events.push_back("stepit"); }
    void ProgressSetPos(int32_t pos) override { events.push_back("pos " + std::to_string(pos)); }
    void SetStatusText(const char* text) override {
        events.push_back(std::string("status ") + text);
    }
    void PostDone(JobResult result) override {
        ++doneCount;
        lastResult = result;
    }

    int Count(const std::string& event) const {
        int n = 0;
        for (const auto& e : events) n += e == event;
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
