// Requests to the Linux-side fixture agent through request and answer files in a shared
// folder (ports, the virtual cutter, conversions), and screenshots of a window.
#include "ui/driver/linux_side.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>

#include "ui/driver/files.h"
#include "ui/driver/top_windows.h"

namespace ui {

std::string LinuxRequest(const std::string& request, unsigned timeoutMs) {
    static unsigned sequence = 0;
    static const std::wstring ctl = WindowsPathOf(RequiredEnv("HARVEL_UI_CTL"));
    char id[16];
    std::snprintf(id, sizeof id, "%06u", ++sequence);
    const std::wstring base = ctl + L"\\" + std::wstring(id, id + 6);

    // Written under another name first: the agent must never see half a request.
    WriteBytes(base + L".tmp", request + "\n");
    if (!MoveFileW((base + L".tmp").c_str(), (base + L".req").c_str()))
        throw std::runtime_error("cannot hand over request " + request);

    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!FileExists(base + L".out")) {
        if (GetTickCount64() >= end)
            throw std::runtime_error("no answer from the fixture agent to: " + request);
        Sleep(10);
    }
    std::string answer = ReadBytes(base + L".out").value_or("");
    DeleteFileW((base + L".out").c_str());

    const size_t firstLineEnd = answer.find('\n');
    const std::string status = answer.substr(0, firstLineEnd);
    const std::string rest =
        firstLineEnd == std::string::npos ? "" : answer.substr(firstLineEnd + 1);
    if (status != "ok") throw std::runtime_error(request + ": " + status + "\n" + rest);
    return rest;
}

void Screenshot(HWND window, const std::string& name) {
    const RECT r = WindowRect(window);
    LinuxRequest("screenshot " + name + " " + std::to_string(r.left) + " " + std::to_string(r.top) +
                 " " + std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
}

}  // namespace ui
