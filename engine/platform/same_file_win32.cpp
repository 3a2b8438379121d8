// Same-file check on Windows: the volume serial number and the file index name
// a file whatever its path's case, short name or link.
#include <windows.h>

#include "engine/platform/same_file.h"

namespace {

bool Identify(const std::filesystem::path& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const BOOL got = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return got != FALSE;
}

}  // namespace

SystemError RefuseSameFile(const std::filesystem::path& input,
                           const std::filesystem::path& output) {
    BY_HANDLE_FILE_INFORMATION in{};
    BY_HANDLE_FILE_INFORMATION out{};
    if (!Identify(input, in) || !Identify(output, out)) return {};
    const bool same = in.dwVolumeSerialNumber == out.dwVolumeSerialNumber &&
                      in.nFileIndexHigh == out.nFileIndexHigh &&
                      in.nFileIndexLow == out.nFileIndexLow;
    return same ? SystemError(Refusal::OutputIsDrawing) : SystemError();
}
