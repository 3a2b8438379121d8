#pragma once
// Scratch files of a tool's run, in TMPDIR (or /tmp), created exclusively and
// for the user alone (mkstemp: 0600, mkdtemp: 0700), and removed with the
// object. An unusable TMPDIR gives a clear failure, not an abort.
#include <filesystem>

#include "engine/platform/failure.h"

class ScratchFile {
public:
    ScratchFile() = default;
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile();

    // `stem` names the tool, e.g. "cutconv".
    Failure Create(const char* stem);
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

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
