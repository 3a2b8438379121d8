#pragma once
#include <filesystem>

#include "../output_sink.h"
#include "system_error.h"

// The job's output file. It is written under a temporary name beside the target
// and takes the target's name only in Commit(), so a job that fails or is
// cancelled never leaves a partial file behind nor destroys an older file of
// that name. Anything not committed is removed by the destructor.
class OutputFile : public ByteWriter {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() override { Discard(); }

    // A temporary file left by an earlier run that was killed is replaced,
    // even when it has been made read-only.
    SystemError Create(const std::filesystem::path& target);
    SystemError WriteAll(const char* data, size_t n) override;
    // Closes the file and gives it the target's name, replacing what was there.
    SystemError Commit();
    void Discard();

private:
    SystemError CloseHandle();
    std::filesystem::path target_;
    std::filesystem::path temp_;
#ifdef _WIN32
    void* file_ = nullptr;
#else
    int fd_ = -1;
#endif
};
