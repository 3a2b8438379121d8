#pragma once
#include <cstdint>
#include <filesystem>

#include "system_error.h"

// A whole file mapped read-only and read only through its view. The file stays
// open while the view exists; everything is released by the destructor. An empty
// file is opened but not mapped (data() is null, length() 0). Anything but a
// regular file, and a file of 4 GiB or more, is refused at once.
class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() { Close(); }

    SystemError Open(const std::filesystem::path& path);  // empty: opened
    void Close();

    const uint8_t* data() const { return data_; }
    uint32_t length() const { return length_; }

private:
    const uint8_t* data_ = nullptr;
    uint32_t length_ = 0;
    uint64_t mappedSize_ = 0;
#ifdef _WIN32
    void* file_ = nullptr;
    void* mapping_ = nullptr;
#else
    int fd_ = -1;
#endif
};
