#pragma once
// A tool's scratch folder, in TMPDIR (or /tmp), created for the user alone
// (mkdtemp: 0700) and removed with the object. An unusable TMPDIR gives a clear failure, not an
// abort.
#include <filesystem>

#include "engine/platform/failure.h"

class ScratchFolder {
public:
    ScratchFolder() = default;
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    Failure Create(const char* stem);
    std::filesystem::path operator/(const char* name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};
