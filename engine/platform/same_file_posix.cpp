// Same-file check on POSIX: stat() follows links, so a link to the input is the input.
#include <sys/stat.h>

#include "engine/platform/same_file.h"

SystemError RefuseSameFile(const std::filesystem::path& input,
                           const std::filesystem::path& output) {
    struct stat in {};
    struct stat out {};
    if (::stat(input.c_str(), &in) != 0 || ::stat(output.c_str(), &out) != 0) return {};
    const bool same = in.st_dev == out.st_dev && in.st_ino == out.st_ino;
    return same ? SystemError(Refusal::OutputIsDrawing) : SystemError();
}
