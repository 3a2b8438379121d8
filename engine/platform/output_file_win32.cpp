// The output file on Windows: the temporary file denies other writers while it
// is open, so a second job writing the same target is refused and nobody can
// change the bytes between writing and sending them.
#include <windows.h>

#include "exchange_paths.h"
#include "file_size_limit.h"
#include "output_file.h"

namespace {

// Sharing: others may read the file, and its name may change (our own rename
// while it is open), but nobody else may write it.
constexpr DWORD kShareWhileHeld = FILE_SHARE_READ | FILE_SHARE_DELETE;

// What stands at `path`: 0 when nothing, else the file type (disk, char, pipe),
// or FILE_TYPE_UNKNOWN with `folder` set for a folder.
DWORD TypeAt(const std::filesystem::path& path, bool& folder) {
    folder = false;
    HANDLE probe =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return 0;
    BY_HANDLE_FILE_INFORMATION info{};
    const DWORD type = GetFileType(probe);
    if (type == FILE_TYPE_DISK && GetFileInformationByHandle(probe, &info))
        folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    CloseHandle(probe);
    return type;
}

}  // namespace

SystemError OutputFile::Create(const std::filesystem::path& target) {
    Discard();
    size_ = 0;
    bool folder = false;
    const DWORD type = TypeAt(target, folder);
    if (folder) return SystemError(ERROR_DIRECTORY);
    if (type != 0 && type != FILE_TYPE_DISK) return OpenInPlace(target);
    target_ = target;
    temp_ = target;
    temp_ += harvel::kPartialSuffix;
    if (SystemError error = CreateHeldTemporary()) {
        temp_.clear();
        return error;
    }
    return {};
}

SystemError OutputFile::OpenInPlace(const std::filesystem::path& target) {
    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return SystemError::Last();
    file_ = file;
    target_ = target;
    return {};
}

SystemError OutputFile::CreateHeldTemporary() {
    // CREATE_ALWAYS refuses to replace a read-only or hidden file: a stale
    // temporary gets plain attributes first (nothing happens if there is none).
    // One another job holds cannot be opened for writing: a sharing violation.
    SetFileAttributesW(temp_.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileW(temp_.c_str(), GENERIC_READ | GENERIC_WRITE, kShareWhileHeld, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return SystemError::Last();
    file_ = file;
    return {};
}

SystemError OutputFile::WriteAll(const char* data, size_t n) {
    if (n > largest_ - size_) return CheckFileSize(kLargestFileSize + 1);
    while (n > 0) {
        DWORD chunk = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
        DWORD written = 0;
        if (!WriteFile(file_, data, chunk, &written, nullptr)) return SystemError::Last();
        if (written == 0) return SystemError(ERROR_WRITE_FAULT);
        data += written;
        n -= written;
        size_ += written;
    }
    return {};
}

SystemError OutputFile::ReadAt(uint64_t offset, char* into, uint32_t n) const {
    while (n > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        if (!ReadFile(file_, into, n, &got, &at)) return SystemError::Last();
        if (got == 0) return SystemError(ERROR_HANDLE_EOF);  // shorter than what was written
        into += got;
        n -= got;
        offset += got;
    }
    return {};
}

bool OutputFile::isOpen() const {
    return file_ != nullptr;
}

SystemError OutputFile::CloseHandle() {
    if (file_ == nullptr) return {};
    const BOOL closed = ::CloseHandle(file_);
    file_ = nullptr;
    return closed ? SystemError() : SystemError::Last();
}

SystemError OutputFile::Commit(Durability durability) {
    if (file_ == nullptr) return SystemError(ERROR_INVALID_HANDLE);
    if (temp_.empty()) return {};  // written in place
    const bool flushed = durability == Durability::Flushed;
    if (flushed && !FlushFileBuffers(file_)) return SystemError::Last();
    const DWORD how = MOVEFILE_REPLACE_EXISTING | (flushed ? MOVEFILE_WRITE_THROUGH : 0);
    if (!MoveFileExW(temp_.c_str(), target_.c_str(), how)) return SystemError::Last();
    temp_.clear();
    return {};
}

void OutputFile::Discard() {
    // Removed while still held (it goes when the handle closes), so no other
    // job can take it up half written.
    if (!temp_.empty()) DeleteFileW(temp_.c_str());
    temp_.clear();
    CloseHandle();
}
