// Scratch files and folders made exclusively for the user alone in TMPDIR (or /tmp), and
// removed with their objects; an unusable TMPDIR becomes a one-line problem.
#include "scratch_space.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "platform/system_error.h"

namespace {

std::string ScratchPattern(const char* stem) {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = dir != nullptr && *dir != '\0' ? dir : "/tmp";
    return pattern + "/" + stem + "-XXXXXX";
}

std::string Problem(const char* what, const std::string& pattern) {
    const std::string folder = std::filesystem::path(pattern).parent_path().string();
    return std::string("cannot create a scratch ") + what + " in " + folder +
           " (TMPDIR): " + SystemError::Last().Message();
}

}  // namespace

bool ScratchFile::Create(const char* stem, std::string& problem) {
    std::string pattern = ScratchPattern(stem);
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        problem = Problem("file", pattern);
        return false;
    }
    ::close(fd);
    path_ = pattern;
    return true;
}

ScratchFile::~ScratchFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
}

bool ScratchFolder::Create(const char* stem, std::string& problem) {
    std::string pattern = ScratchPattern(stem);
    if (::mkdtemp(pattern.data()) == nullptr) {
        problem = Problem("folder", pattern);
        return false;
    }
    path_ = pattern;
    return true;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}
