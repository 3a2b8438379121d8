#pragma once
// The plot file, opened read-only and read front to back by plain reads. A
// file that shrinks while it is read then only ends early, which the reading
// loop notices, where a mapped view would fault.
#include <cstdint>
#include <filesystem>

#include "engine/platform/byte_reader.h"
#include "engine/platform/system_error.h"

class InputFile : public ByteReader {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile() override { Close(); }

    // Refuses anything but a regular file (without waiting on a pipe nobody
    // writes to) and a file of 4 GiB or more, whose length the passes cannot hold.
    SystemError Open(const std::filesystem::path& path);  // empty: opened
    SystemError ReadSome(uint8_t* into, size_t n, size_t& got) override;
    void Close();

    uint32_t length() const { return length_; }  // the size when it was opened

private:
    uint32_t length_ = 0;
#ifdef _WIN32
    void* file_ = nullptr;
#else
    int fd_ = -1;
#endif
};
