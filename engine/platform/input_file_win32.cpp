// The plot file read with CreateFileW/ReadFile; see input_file.h.
#include <windows.h>

#include <cstdint>

#include "engine/platform/file_size_limit.h"
#include "engine/platform/input_file.h"

SystemError InputFile::Open(const std::filesystem::path& path) {
    Close();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return SystemError::Last();
    file_ = file;
    LARGE_INTEGER size{};
    SystemError error;
    if (GetFileType(file) != FILE_TYPE_DISK)
        error = SystemError(Refusal::NotRegularFile);
    else if (!GetFileSizeEx(file, &size))
        error = SystemError::Last();
    else
        error = CheckFileSize(static_cast<uint64_t>(size.QuadPart));
    if (error) {
        Close();
        return error;
    }
    length_ = static_cast<uint32_t>(size.QuadPart);
    return {};
}

SystemError InputFile::ReadSome(uint8_t* into, size_t n, size_t& got) {
    DWORD read = 0;
    const DWORD ask = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
    got = 0;
    if (!ReadFile(static_cast<HANDLE>(file_), into, ask, &read, nullptr))
        return SystemError::Last();
    got = read;
    return {};
}

void InputFile::Close() {
    if (file_ != nullptr) CloseHandle(static_cast<HANDLE>(file_));
    file_ = nullptr;
    length_ = 0;
}
