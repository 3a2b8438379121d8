#include <windows.h>

#include "file_size_limit.h"
#include "mapped_file.h"

SystemError MappedFile::Open(const std::filesystem::path& path) {
    Close();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return SystemError::Last();
    file_ = file;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        const SystemError error = SystemError::Last();
        Close();
        return error;
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
        Close();
        return SystemError(ERROR_INVALID_FUNCTION);  // a pipe or a device is no drawing
    }
    if (SystemError error = CheckFileSize(static_cast<uint64_t>(size.QuadPart))) {
        Close();
        return error;
    }
    mappedSize_ = static_cast<uint64_t>(size.QuadPart);
    length_ = static_cast<uint32_t>(mappedSize_);
    if (mappedSize_ == 0) return {};  // an empty file cannot be mapped
    mapping_ = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping_ == nullptr) {
        const SystemError error = SystemError::Last();
        Close();
        return error;
    }
    data_ = static_cast<const uint8_t*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
    if (data_ == nullptr) {
        const SystemError error = SystemError::Last();
        Close();
        return error;
    }
    return {};
}

void MappedFile::Close() {
    if (data_ != nullptr) UnmapViewOfFile(data_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
    if (file_ != nullptr) CloseHandle(file_);
    data_ = nullptr;
    mapping_ = nullptr;
    file_ = nullptr;
    length_ = 0;
    mappedSize_ = 0;
}
