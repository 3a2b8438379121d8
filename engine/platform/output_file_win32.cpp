#include <windows.h>

#include "exchange_paths.h"
#include "output_file.h"

SystemError OutputFile::Create(const std::filesystem::path& target) {
    Discard();
    target_ = target;
    temp_ = target;
    temp_ += harvel::kPartialSuffix;
    // CREATE_ALWAYS refuses to replace a read-only or hidden file: a stale
    // temporary gets plain attributes first (nothing happens if there is none).
    SetFileAttributesW(temp_.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const SystemError error = SystemError::Last();
        temp_.clear();
        return error;
    }
    file_ = file;
    return {};
}

SystemError OutputFile::WriteAll(const char* data, size_t n) {
    while (n > 0) {
        DWORD chunk = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
        DWORD written = 0;
        if (!WriteFile(file_, data, chunk, &written, nullptr)) return SystemError::Last();
        if (written == 0) return SystemError(ERROR_WRITE_FAULT);
        data += written;
        n -= written;
    }
    return {};
}

SystemError OutputFile::CloseHandle() {
    if (file_ == nullptr) return {};
    const BOOL closed = ::CloseHandle(file_);
    file_ = nullptr;
    return closed ? SystemError() : SystemError::Last();
}

SystemError OutputFile::Commit() {
    if (temp_.empty()) return SystemError(ERROR_INVALID_HANDLE);
    if (SystemError error = CloseHandle()) return error;
    if (!MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING))
        return SystemError::Last();
    temp_.clear();
    return {};
}

void OutputFile::Discard() {
    CloseHandle();
    if (!temp_.empty()) DeleteFileW(temp_.c_str());
    temp_.clear();
}
