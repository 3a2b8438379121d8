#include <windows.h>

#include "output_file.h"

bool OutputFile::Create(const std::filesystem::path& target) {
    Discard();
    target_ = target;
    temp_ = target;
    temp_ += L".partial";
    HANDLE file = CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        temp_.clear();
        return false;
    }
    file_ = file;
    return true;
}

bool OutputFile::WriteAll(const char* data, size_t n) {
    while (n > 0) {
        DWORD chunk = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
        DWORD written = 0;
        if (!WriteFile(file_, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        n -= written;
    }
    return true;
}

bool OutputFile::CloseHandle() {
    if (file_ == nullptr) return true;
    bool ok = ::CloseHandle(file_) != 0;
    file_ = nullptr;
    return ok;
}

bool OutputFile::Commit() {
    if (temp_.empty()) return false;
    bool ok = CloseHandle() &&
              MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (ok) temp_.clear();
    return ok;
}

void OutputFile::Discard() {
    CloseHandle();
    if (!temp_.empty()) DeleteFileW(temp_.c_str());
    temp_.clear();
}
