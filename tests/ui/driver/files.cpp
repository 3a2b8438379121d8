// Files for the UI tests under Wine: Unix paths as Z: paths, the wrapper's environment, and
// emptying folders, copying, writing and reading files.
#include "ui/driver/files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <windows.h>

#include "ui/driver/text_convert.h"

namespace fs = std::filesystem;

namespace ui {

std::wstring WindowsPathOf(const std::string& unixPath) {
    std::wstring path = L"Z:" + Wide(unixPath);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

std::string RequiredEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        throw std::runtime_error(std::string(name) +
                                 " is not set: run the UI tests through CTest or "
                                 "scripts/ui-test/run-ui-test.sh");
    return value;
}

void ResetFolder(const std::wstring& folder) {
    // A program that has just ended may hold its files a moment longer.
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::remove_all(folder, error);
        if (!error) break;
        Sleep(50);
    }
    if (error) throw std::runtime_error("cannot empty " + Utf8(folder) + ": " + error.message());
    fs::create_directories(folder);
}

void CopyFileTo(const std::wstring& from, const std::wstring& to) {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

bool FileExists(const std::wstring& path) {
    std::error_code error;
    return fs::exists(path, error);
}

std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

void Write(const std::wstring& path, const std::string& bytes, std::ios::openmode mode) {
    std::ofstream out(fs::path(path), std::ios::binary | mode);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + Utf8(path));
}

}  // namespace

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    Write(path, bytes, std::ios::trunc);
}

void AppendBytes(const std::wstring& path, const std::string& bytes) {
    Write(path, bytes, std::ios::app);
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace ui
