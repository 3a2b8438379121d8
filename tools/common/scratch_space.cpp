// A scratch folder made for the user alone in TMPDIR (or /tmp) and removed with its
// object; an unusable TMPDIR becomes a one-line failure.
#include "scratch_space.h"

#include <cstdlib>
#include <system_error>

namespace {

std::string ScratchPattern(const char* stem) {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = dir != nullptr && *dir != '\0' ? dir : "/tmp";
    return pattern + "/" + stem + "-XXXXXX";
}

Failure CannotCreate(const char* what, const std::string& pattern) {
    const SystemError why = SystemError::Last();
    const std::string folder = std::filesystem::path(pattern).parent_path().string();
    return Failure(std::string("cannot create a scratch ") + what + " in " + folder + " (TMPDIR)",
                   why);
}

}  // namespace

Failure ScratchFolder::Create(const char* stem) {
    std::string pattern = ScratchPattern(stem);
    if (::mkdtemp(pattern.data()) == nullptr) return CannotCreate("folder", pattern);
    path_ = pattern;
    return {};
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}
