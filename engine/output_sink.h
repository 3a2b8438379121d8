#pragma once
#include <cstddef>

#include "engine/platform/byte_writer.h"
#include "engine/platform/system_error.h"

// Collects small pieces and hands them to a ByteWriter in large blocks, so that
// an output line never costs a system call of its own. A failed write is sticky:
// later pieces are dropped and failed() tells the job to stop; error() keeps why.
class BufferedOutput {
public:
    explicit BufferedOutput(ByteWriter& writer) : writer_(writer) {}
    BufferedOutput(const BufferedOutput&) = delete;
    BufferedOutput& operator=(const BufferedOutput&) = delete;

    void Append(const char* data, size_t n);

    // Where n more bytes can be formatted in place, without a flush; null when
    // they do not fit (Append them then). Commit(m) keeps the m <= n bytes
    // written there. After a failed write such bytes are never written anywhere.
    char* Room(size_t n) { return kCapacity - used_ >= n ? buffer_ + used_ : nullptr; }
    void Commit(size_t n) { used_ += n; }

    bool Flush();
    bool failed() const { return static_cast<bool>(error_); }
    const SystemError& error() const { return error_; }

private:
    static constexpr size_t kCapacity = 64 * 1024;
    ByteWriter& writer_;
    size_t used_ = 0;
    SystemError error_;
    char buffer_[kCapacity];
};
