#pragma once
#include <cstdint>
#include <filesystem>

#include "engine/platform/byte_writer.h"
#include "engine/platform/system_error.h"

// The job's output file. A regular file (or a new one) is written under a
// temporary name beside the target and takes the target's name only in
// Commit(), so a job that fails or is cancelled never leaves a partial file
// behind nor destroys an older file of that name. The temporary file is held
// for this job alone, so two jobs never mix their files. On POSIX it is
// NAME.partial and a second job writing the same target at the same time is
// refused (busy); a symbolic link is followed and the file it names replaced.
// On Windows, where the exchange folder is every user's, the temporary name is
// unforeseeable, each job writes its own file and the last to finish names the
// target; a link under the target's name is replaced, never followed, and a
// link or hard link planted anywhere is never written through. An existing
// target that is not a regular file (a FIFO, a terminal, a serial port) is
// written in place; a folder or a disk device is refused. Anything not
// committed is removed by the destructor.
class OutputFile : public ByteWriter {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() override { Discard(); }

    // A temporary file left by an earlier run that was killed is replaced,
    // even when it has been made read-only (on Windows a killed run leaves
    // none, and a file under that old name is left alone).
    SystemError Create(const std::filesystem::path& target);
    // Writes beyond `largest` bytes in all fail as "file too large".
    void LimitSize(uint64_t largest) { largest_ = largest; }
    SystemError WriteAll(const char* data, size_t n) override;

    // A saved file is flushed to disk before it takes its name, and its folder
    // after; a stream sent at once need not be.
    enum class Durability { Flushed, Unflushed };
    // Gives the file the target's name, replacing what was there. The handle
    // stays open, so that what was written can be read back through it alone.
    SystemError Commit(Durability durability);
    void Discard();

    // The bytes written, and reading them back at `offset` (a committed file).
    bool isOpen() const;
    uint64_t size() const { return size_; }
    SystemError ReadAt(uint64_t offset, char* into, uint32_t n) const;

private:
    SystemError CreateHeldTemporary();
    SystemError OpenInPlace(const std::filesystem::path& target);
    SystemError CloseHandle();
    std::filesystem::path target_;
    std::filesystem::path temp_;
    uint64_t size_ = 0;
    uint64_t largest_ = UINT64_MAX;
#ifdef _WIN32
    void* file_ = nullptr;
#else
    int fd_ = -1;
#endif
};
