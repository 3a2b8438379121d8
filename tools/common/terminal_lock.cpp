// The terminal's lock: flock on a descriptor of its own, held until the end.
#include "terminal_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

TerminalLock::~TerminalLock() {
    if (fd_ >= 0) ::close(fd_);
}

Failure TerminalLock::Take(const char* path) {
    struct stat st {};
    if (::stat(path, &st) != 0 || !S_ISCHR(st.st_mode)) return {};
    const int fd = ::open(path, O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};  // the output's own opening reports why
    if (::isatty(fd) == 0) {
        ::close(fd);
        return {};
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return Failure(std::string(path) +
                       " is busy: another program is using it (cutsend streams to it)");
    }
    fd_ = fd;
    return {};
}
