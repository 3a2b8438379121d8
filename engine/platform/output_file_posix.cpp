#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

#include <string>

#include "exchange_paths.h"
#include "output_file.h"

SystemError OutputFile::Create(const std::filesystem::path& target) {
    Discard();
    target_ = target;
    temp_ = target;
    temp_ += harvel::kPartialSuffix;
    // A stale temporary is removed rather than written through: it may be
    // read-only, or a link to somewhere else.
    ::unlink(temp_.c_str());
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) return {};
    const SystemError error = SystemError::Last();
    temp_.clear();
    return error;
}

SystemError OutputFile::WriteAll(const char* data, size_t n) {
    while (n > 0) {
        ssize_t written = ::write(fd_, data, n);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return SystemError::Last();
        if (written == 0) return SystemError(EIO);
        data += written;
        n -= static_cast<size_t>(written);
    }
    return {};
}

SystemError OutputFile::CloseHandle() {
    if (fd_ < 0) return {};
    const int closed = ::close(fd_);
    fd_ = -1;
    return closed == 0 ? SystemError() : SystemError::Last();
}

SystemError OutputFile::Commit() {
    if (temp_.empty()) return SystemError(EBADF);
    if (SystemError error = CloseHandle()) return error;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return SystemError::Last();
    temp_.clear();
    return {};
}

void OutputFile::Discard() {
    CloseHandle();
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}
