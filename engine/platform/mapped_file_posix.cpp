#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file_size_limit.h"
#include "mapped_file.h"

SystemError MappedFile::Open(const std::filesystem::path& path) {
    Close();
    // Non-blocking, so that a FIFO is refused below instead of waiting for a writer.
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return SystemError::Last();
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const SystemError error = SystemError::Last();
        Close();
        return error;
    }
    if (!S_ISREG(st.st_mode)) {
        Close();
        return SystemError(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    if (SystemError error = CheckFileSize(static_cast<uint64_t>(st.st_size))) {
        Close();
        return error;
    }
    mappedSize_ = static_cast<uint64_t>(st.st_size);
    length_ = static_cast<uint32_t>(mappedSize_);
    if (mappedSize_ == 0) return {};
    void* view = ::mmap(nullptr, mappedSize_, PROT_READ, MAP_PRIVATE, fd_, 0);
    if (view == MAP_FAILED) {
        const SystemError error = SystemError::Last();
        Close();
        return error;
    }
    data_ = static_cast<const uint8_t*>(view);
    return {};
}

void MappedFile::Close() {
    if (data_ != nullptr) ::munmap(const_cast<uint8_t*>(data_), mappedSize_);
    if (fd_ >= 0) ::close(fd_);
    data_ = nullptr;
    fd_ = -1;
    length_ = 0;
    mappedSize_ = 0;
}
