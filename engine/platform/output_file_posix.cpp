// The output file on POSIX: the temporary file is held with flock(), so that a
// second conversion to the same target sees it taken.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "engine/exchange_paths.h"
#include "engine/platform/file_size_limit.h"
#include "engine/platform/output_file.h"

namespace {

// The file a chain of symbolic links ends at, existing or not. More links than
// the system follows (a loop) leave the path as it is: creating it then fails.
std::filesystem::path FollowLinks(std::filesystem::path path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) return path;
        link.resize(static_cast<size_t>(n));
        path = path.parent_path() / std::filesystem::path(link);  // an absolute link replaces it
    }
    return path;
}

// The descriptor that /dev/stdout, /dev/stderr, /dev/fd/N or /proc/self/fd/N
// names, or -1. Such a target is written through a copy of that descriptor,
// at its own position as a pipe would be, never replaced by a new file: what a
// shell writes into the same file before and after the conversion stays.
int HeldDescriptor(const std::filesystem::path& target) {
    const std::string text = target.lexically_normal().string();
    if (text == "/dev/stdout") return STDOUT_FILENO;
    if (text == "/dev/stderr") return STDERR_FILENO;
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (text.size() <= prefix.size() || text.compare(0, prefix.size(), prefix) != 0) continue;
        int fd = 0;
        for (const char c : std::string_view(text).substr(prefix.size())) {
            if (c < '0' || c > '9' || fd > 99999) return -1;
            fd = fd * 10 + (c - '0');
        }
        return fd;
    }
    return -1;
}

// Whether `fd` is still the file at `path`: another job may have replaced it.
bool StillNamed(int fd, const std::filesystem::path& path) {
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

}  // namespace

SystemError OutputFile::Create(const std::filesystem::path& target) {
    Discard();
    size_ = 0;
    if (const int held = HeldDescriptor(target); held >= 0) {
        fd_ = ::fcntl(held, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0) return SystemError::Last();
        target_ = target;
        return {};
    }
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) return SystemError(Refusal::Folder);
        if (S_ISBLK(st.st_mode)) return SystemError(Refusal::DiskDevice);
        return OpenInPlace(target);
    }
    target_ = FollowLinks(target);
    temp_ = target_;
    temp_ += harvel::kPartialSuffix;
    if (SystemError error = CreateHeldTemporary()) {
        temp_.clear();
        return error;
    }
    return {};
}

SystemError OutputFile::OpenInPlace(const std::filesystem::path& target) {
    // A FIFO waits here for its reader; a signal ends the wait (EINTR).
    fd_ = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) return SystemError::Last();
    target_ = target;
    return {};
}

SystemError OutputFile::CreateHeldTemporary() {
    // A few rounds at most: each removes one stale temporary or ends.
    for (int round = 0; round < 8; ++round) {
        const int fd = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, temp_)) {
                fd_ = fd;
                return {};
            }
            ::close(fd);  // another job took it first
            return SystemError(Refusal::TakenByAnotherJob);
        }
        if (errno != EEXIST) return SystemError::Last();
        // A temporary is there: a job holds it, or it is stale. A link or a
        // file that cannot be opened is nobody's: it is removed, not followed.
        const int old = ::open(temp_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (old >= 0 && ::flock(old, LOCK_EX | LOCK_NB) != 0) {
            const int why = errno;
            ::close(old);
            return why == EWOULDBLOCK ? SystemError(Refusal::TakenByAnotherJob) : SystemError(why);
        }
        const bool stale = old < 0 ? errno != ENOENT : StillNamed(old, temp_);
        const int removed = stale ? ::unlink(temp_.c_str()) : 0;
        const SystemError why = removed != 0 ? SystemError::Last() : SystemError();
        if (old >= 0) ::close(old);
        if (why && why.code() != ENOENT) return why;
    }
    return SystemError(Refusal::TakenByAnotherJob);
}

SystemError OutputFile::WriteAll(const char* data, size_t n) {
    if (n > largest_ - size_) return CheckFileSize(kLargestFileSize + 1);
    while (n > 0) {
        // A signal ends the write: a tool asked to stop must not wait on.
        ssize_t written = ::write(fd_, data, n);
        if (written < 0) return SystemError::Last();
        if (written == 0) return SystemError(Refusal::BytesLost);
        data += written;
        n -= static_cast<size_t>(written);
        size_ += static_cast<uint64_t>(written);
    }
    return {};
}

SystemError OutputFile::ReadAt(uint64_t offset, char* into, uint32_t n) const {
    while (n > 0) {
        const ssize_t got = ::pread(fd_, into, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return SystemError::Last();
        if (got == 0) return SystemError(Refusal::BytesLost);  // shorter than what was written
        into += got;
        n -= static_cast<uint32_t>(got);
        offset += static_cast<uint64_t>(got);
    }
    return {};
}

bool OutputFile::isOpen() const {
    return fd_ >= 0;
}

SystemError OutputFile::CloseHandle() {
    if (fd_ < 0) return {};
    const int closed = ::close(fd_);
    fd_ = -1;
    return closed == 0 ? SystemError() : SystemError::Last();
}

SystemError OutputFile::Commit(Durability durability) {
    if (fd_ < 0) return SystemError(Refusal::NotOpen);
    if (temp_.empty()) return {};  // written in place
    const bool flushed = durability == Durability::Flushed;
    if (flushed && ::fsync(fd_) != 0) return SystemError::Last();
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return SystemError::Last();
    temp_.clear();
    if (!flushed) return {};
    // The new name is on disk only once the folder is.
    std::filesystem::path folder = target_.parent_path();
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return SystemError::Last();
    const int synced = ::fsync(dir);
    const SystemError why = synced != 0 ? SystemError::Last() : SystemError();
    ::close(dir);
    return why;
}

void OutputFile::Discard() {
    // Removed while still held, so no other job can take it up half written.
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    CloseHandle();
}
