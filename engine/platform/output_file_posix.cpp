#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

#include <string>

#include "output_file.h"

bool OutputFile::Create(const std::filesystem::path& target) {
    Discard();
    target_ = target;
    temp_ = target;
    temp_ += ".partial";
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) temp_.clear();
    return fd_ >= 0;
}

bool OutputFile::WriteAll(const char* data, size_t n) {
    while (n > 0) {
        ssize_t written = ::write(fd_, data, n);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        n -= static_cast<size_t>(written);
    }
    return true;
}

bool OutputFile::CloseHandle() {
    if (fd_ < 0) return true;
    bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
}

bool OutputFile::Commit() {
    if (temp_.empty()) return false;
    bool ok = CloseHandle() && ::rename(temp_.c_str(), target_.c_str()) == 0;
    if (ok) temp_.clear();
    return ok;
}

void OutputFile::Discard() {
    CloseHandle();
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}
