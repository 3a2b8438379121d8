#pragma once
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/conversion_passes.h"
#include "job_test_doubles.h"
#include "worked_square.h"

// Both passes over bytes in memory, as the job runs them over the plot file;
// `piece` bounds each read, so that the reading loop's blocks end anywhere.
// The output and every report the passes made.
struct ConversionInMemory {
    std::string output;
    std::vector<std::string> events;
    bool operator==(const ConversionInMemory&) const = default;
};
inline ConversionInMemory ConvertReporting(const std::string& input, CutSettings settings,
                                           size_t piece = SIZE_MAX) {
    RecordingLink link;
    ProgressSteps progress(link);
    StringWriter writer;
    BufferedOutput out(writer);
    const auto* data = reinterpret_cast<const uint8_t*>(input.data());
    const auto length = static_cast<uint32_t>(input.size());
    PlotExtent extent;
    MemoryReader first(data, length, piece);
    EXPECT_EQ(RunExtentPass(first, length, link, progress, extent).result, JobResult::Completed);
    MemoryReader second(data, length, piece);
    EXPECT_EQ(RunCutPass(second, length, extent, settings, out, link, progress).result,
              JobResult::Completed);
    return {writer.text, link.events};
}

inline std::string Convert(const std::string& input, int32_t offset = 0, int32_t overcut = 0,
                           bool toPort = false, size_t piece = SIZE_MAX) {
    return ConvertReporting(input, CutSettings{offset, overcut, toPort}, piece).output;
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
