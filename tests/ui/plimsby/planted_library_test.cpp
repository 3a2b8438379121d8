// C:\Harvel stays writable for plot files, so anyone may put a library there:
// the watcher must come up without ever loading it. Wine runs its own
// common-controls library whichever file it finds, but names the file it
// found: the one in C:\Harvel unless the search is limited to System32.
#include <windows.h>
// windows.h first: tlhelp32.h needs its types.
#include <tlhelp32.h>

#include "plimsby_fixture.h"
#include "ui/driver/files.h"

namespace plimsby {
namespace {

using PlimsbyPlantedLibrary = PlimsbyTest;

// The file a process loaded under that module name; empty when none.
std::wstring LoadedFrom(DWORD pid, const wchar_t* moduleName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return L"";
    std::wstring path;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot, &entry); more && path.empty();
         more = Module32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szModule, moduleName) == 0) path = entry.szExePath;
    CloseHandle(snapshot);
    return path;
}

TEST_F(PlimsbyPlantedLibrary, CommonControlsBesideTheProgramAreNeverLoaded) {
    const std::wstring bin = ui::WindowsPathOf(ui::RequiredEnv("HARVEL_UI_BIN"));
    ui::CopyFileTo(bin + L"\\planted_library.dll", kHarvel + L"\\comctl32.dll");
    {
        PlimsbyRun run;
        EXPECT_TRUE(run.NextTick()) << "the bar moves: the system's common controls are in use";
        const std::wstring loaded = LoadedFrom(run.process().pid(), L"comctl32.dll");
        EXPECT_FALSE(loaded.empty());
        EXPECT_NE(_wcsnicmp(loaded.c_str(), L"C:\\Harvel\\", 10), 0) << loaded;
        EXPECT_TRUE(run.Close());
    }
    EXPECT_FALSE(ui::FileExists(kHarvel + L"\\planted-loaded.txt"));
}

}  // namespace
}  // namespace plimsby
