// A library planted in C:\Harvel under the name of one the programs load. It
// only notes that it was loaded, in planted-loaded.txt beside itself, and then
// refuses to load; no program may ever get this far.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    if (length == 0 || slash == nullptr) return FALSE;
    wcscpy(slash + 1, L"planted-loaded.txt");
    HANDLE note = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (note != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(note, "loaded\n", 7, &written, nullptr);
        CloseHandle(note);
    }
    return FALSE;
}
