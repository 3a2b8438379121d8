#pragma once
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "conversion_passes.h"
#include "job_link.h"

// Records what the worker tells the dialog, as one readable event list.
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
    bool WriteAll(const char* data, size_t n) override {
        text.append(data, n);
        return true;
    }
    std::string text;
};

// Both passes over bytes in memory, as the job runs them over the mapped file.
inline std::string Convert(const std::string& input, int32_t offset = 0, int32_t overcut = 0,
                           bool toPort = false) {
    RecordingLink link;
    ProgressSteps progress(link);
    StringWriter writer;
    BufferedOutput out(writer);
    const auto* data = reinterpret_cast<const uint8_t*>(input.data());
    const auto length = static_cast<uint32_t>(input.size());
    RunExtentPass(data, length, link, progress);
    RunCutPass(data, length, CutSettings{offset, overcut, toPort}, out, link, progress);
    return writer.text;
}

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        // Test programs run side by side: the name must differ between processes.
        static std::atomic<int> counter{0};
        static const unsigned processTag = std::random_device{}();
        path_ = std::filesystem::temp_directory_path() /
                ("harvel-test-" + std::to_string(processTag) + "-" + std::to_string(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
