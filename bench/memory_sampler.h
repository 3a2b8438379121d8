#pragma once
#include <atomic>
#include <thread>

// Peak resident memory of this process, in KiB. "file" is what mapped files
// (the program's code and libraries) keep resident: page cache that the kernel
// can drop at any time. "anon" is the process's own memory: heap, stacks, buffers.
struct MemoryPeaks {
    long hwmKb = 0;   // the kernel's high-water mark of the whole resident set
    long anonKb = 0;  // sampled
    long fileKb = 0;  // sampled
};

// Samples /proc/self/status every two milliseconds while it lives.
class MemorySampler {
public:
    MemorySampler();
    MemorySampler(const MemorySampler&) = delete;
    MemorySampler& operator=(const MemorySampler&) = delete;
    ~MemorySampler();

    MemoryPeaks Stop();

private:
    void Sample();

    std::atomic<bool> running_{true};
    MemoryPeaks peaks_;
    std::thread thread_;
};
