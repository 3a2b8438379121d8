// Gathers output pieces into 64 KiB blocks so that a line never costs a system call of its
// own; the first failed write drops everything after it and keeps the reason.
#include "engine/output_sink.h"

#include <cstring>

void BufferedOutput::Append(const char* data, size_t n) {
    if (failed()) return;
    if (n > kCapacity - used_) {
        if (!Flush()) return;
        if (n > kCapacity) {
            error_ = writer_.WriteAll(data, n);
            return;
        }
    }
    std::memcpy(buffer_ + used_, data, n);
    used_ += n;
}

bool BufferedOutput::Flush() {
    if (!failed() && used_ > 0) error_ = writer_.WriteAll(buffer_, used_);
    used_ = 0;
    return !failed();
}
