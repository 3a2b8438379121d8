// The plot file read with open/read; see input_file.h.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "engine/platform/file_size_limit.h"
#include "engine/platform/input_file.h"

SystemError InputFile::Open(const std::filesystem::path& path) {
    Close();
    // Non-blocking, so that a FIFO without a writer is refused, not waited on;
    // reads of a regular file are not affected.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) return SystemError::Last();
    struct stat st {};
    SystemError error;
    if (::fstat(fd_, &st) != 0)
        error = SystemError::Last();
    else if (!S_ISREG(st.st_mode))
        error = SystemError(S_ISDIR(st.st_mode) ? Refusal::Folder : Refusal::NotRegularFile);
    else
        error = CheckFileSize(static_cast<uint64_t>(st.st_size));
    if (error) {
        Close();
        return error;
    }
    length_ = static_cast<uint32_t>(st.st_size);
    return {};
}

SystemError InputFile::ReadSome(uint8_t* into, size_t n, size_t& got) {
    got = 0;
    for (;;) {
        const ssize_t r = ::read(fd_, into, n);
        if (r >= 0) {
            got = static_cast<size_t>(r);
            return {};
        }
        if (errno != EINTR) return SystemError::Last();
    }
}

void InputFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    length_ = 0;
}
