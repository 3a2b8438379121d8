// The output file on Windows. The exchange folder is writable by every user,
// so nothing is done there by a name that someone else may have planted: the
// temporary file gets a name nobody can foresee, is created new without
// following a link, and is checked, written, renamed and removed through its
// own handle alone. Other writers are denied while it is open.
#include <windows.h>
// windows.h first: ntsecapi.h needs its types.
#include <ntsecapi.h>

#include <cstring>
#include <vector>

#include "engine/exchange_paths.h"
#include "engine/platform/file_size_limit.h"
#include "engine/platform/output_file.h"

namespace {

// Others may read the file; nobody else may write, rename or delete it.
constexpr DWORD kShareWhileHeld = FILE_SHARE_READ;
// A clash with an existing name is a planted file or sheer chance: another
// name is tried, a few times.
constexpr int kNameAttempts = 8;

// What stands at `path`, a link taken as itself: 0 when nothing, else the file
// type (disk, char, pipe), or FILE_TYPE_UNKNOWN with `folder` set for a folder
// or a junction.
DWORD TypeAt(const std::filesystem::path& path, bool& folder) {
    folder = false;
    HANDLE probe = CreateFileW(
        path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return 0;
    BY_HANDLE_FILE_INFORMATION info{};
    const DWORD type = GetFileType(probe);
    if (type == FILE_TYPE_DISK && GetFileInformationByHandle(probe, &info))
        folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    CloseHandle(probe);
    return type;
}

// `target` with 16 random hex digits and the partial suffix appended.
SystemError UnforeseeableTemporaryName(const std::filesystem::path& target,
                                       std::filesystem::path& temp) {
    unsigned char bytes[8] = {};
    if (!RtlGenRandom(bytes, sizeof bytes)) return SystemError::Last();
    std::wstring tag = L".";
    for (const unsigned char byte : bytes) {
        tag += L"0123456789abcdef"[byte >> 4];
        tag += L"0123456789abcdef"[byte & 15];
    }
    temp = target;
    temp += tag + harvel::kPartialSuffix;
    return {};
}

// Marks the file to go when its last handle closes (or takes the mark back).
SystemError SetDeleteOnClose(HANDLE file, bool remove) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = remove ? TRUE : FALSE;
    if (!SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition))
        return SystemError::Last();
    return {};
}

// A file that this handle alone names: a regular disk file with one link.
SystemError RefuseUnlessPlainFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK) return SystemError(Refusal::NotPlainFile);
    if (!GetFileInformationByHandle(file, &info)) return SystemError::Last();
    constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if ((info.dwFileAttributes & kNotPlain) != 0 || info.nNumberOfLinks != 1)
        return SystemError(Refusal::NotPlainFile);
    return {};
}

// Renames the file behind `file` to `target`, replacing whatever entry has
// that name (a link is replaced, not followed).
SystemError RenameByHandle(HANDLE file, const std::filesystem::path& target) {
    const std::wstring& name = target.native();
    const size_t nameBytes = name.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(rename->FileName, name.data(), nameBytes);
    if (!SetFileInformationByHandle(file, FileRenameInfo, rename,
                                    static_cast<DWORD>(buffer.size())))
        return SystemError::Last();
    return {};
}

}  // namespace

SystemError OutputFile::Create(const std::filesystem::path& target) {
    Discard();
    size_ = 0;
    bool folder = false;
    const DWORD type = TypeAt(target, folder);
    if (folder) return SystemError(Refusal::Folder);
    if (type != 0 && type != FILE_TYPE_DISK) return OpenInPlace(target);
    // The rename by handle takes a full path.
    std::error_code failed;
    target_ = std::filesystem::absolute(target, failed);
    if (failed) return SystemError(failed.value());
    SystemError error = CreateHeldTemporary();
    if (error) temp_.clear();
    return error;
}

SystemError OutputFile::OpenInPlace(const std::filesystem::path& target) {
    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return SystemError::Last();
    file_ = file;
    target_ = target;
    return {};
}

// CREATE_NEW never opens what is there, and with FILE_FLAG_OPEN_REPARSE_POINT
// a link planted under the name is not followed to create its target. The file
// is marked for removal at once, so that even a killed run leaves nothing.
SystemError OutputFile::CreateHeldTemporary() {
    SystemError error(ERROR_FILE_EXISTS);
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kNameAttempts && file == INVALID_HANDLE_VALUE; ++attempt) {
        if ((error = UnforeseeableTemporaryName(target_, temp_))) return error;
        file = CreateFileW(temp_.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, kShareWhileHeld,
                           nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE) error = SystemError::Last();
        if (error.code() != ERROR_FILE_EXISTS && error.code() != ERROR_ALREADY_EXISTS) break;
    }
    if (file == INVALID_HANDLE_VALUE) return error;
    file_ = file;
    if ((error = SetDeleteOnClose(file_, true)) || (error = RefuseUnlessPlainFile(file_))) {
        CloseHandle();
        return error;
    }
    return {};
}

SystemError OutputFile::WriteAll(const char* data, size_t n) {
    if (n > largest_ - size_) return CheckFileSize(kLargestFileSize + 1);
    while (n > 0) {
        DWORD chunk = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
        DWORD written = 0;
        if (!WriteFile(file_, data, chunk, &written, nullptr)) return SystemError::Last();
        if (written == 0) return SystemError(Refusal::BytesLost);
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
        if (got == 0) return SystemError(Refusal::BytesLost);  // shorter than what was written
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

// A rename within one folder is no copy, so it needs no write-through; the
// file's own data is flushed first where it must be.
SystemError OutputFile::Commit(Durability durability) {
    if (file_ == nullptr) return SystemError(Refusal::NotOpen);
    if (temp_.empty()) return {};  // written in place
    if (durability == Durability::Flushed && !FlushFileBuffers(file_)) return SystemError::Last();
    if (SystemError error = SetDeleteOnClose(file_, false)) return error;
    if (SystemError error = RenameByHandle(file_, target_)) {
        SetDeleteOnClose(file_, true);
        return error;
    }
    temp_.clear();
    return {};
}

void OutputFile::Discard() {
    // Still marked for removal: closing the handle removes it.
    temp_.clear();
    CloseHandle();
}
