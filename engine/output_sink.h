#pragma once
#include <cstddef>

// Where formatted output bytes finally go: a file, a port, a string in tests.
class ByteWriter {
public:
    virtual ~ByteWriter() = default;
    // Writes all n bytes; false when they could not all be written.
    virtual bool WriteAll(const char* data, size_t n) = 0;
};

// Collects small pieces and hands them to a ByteWriter in large blocks, so that
// an output line never costs a system call of its own. A failed write is sticky:
// later pieces are dropped and failed() tells the job to stop.
class BufferedOutput {
public:
    explicit BufferedOutput(ByteWriter& writer) : writer_(writer) {}
    BufferedOutput(const BufferedOutput&) = delete;
    BufferedOutput& operator=(const BufferedOutput&) = delete;

    void Append(const char* data, size_t n);
    bool Flush();
    bool failed() const { return failed_; }

private:
    static constexpr size_t kCapacity = 64 * 1024;
    ByteWriter& writer_;
    size_t used_ = 0;
    bool failed_ = false;
    char buffer_[kCapacity];
};
