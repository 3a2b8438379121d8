// Where the programs take their libraries from: System32 only.
#include "system_libraries.h"

#include <commctrl.h>

namespace framework {

bool RestrictDllSearchToSystem32() {
    return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

bool LoadCommonControls(DWORD classes) {
    // A plain load by name: it searches where the restriction says, so a copy
    // planted beside the program shows at once if the restriction is missing.
    // The library stays loaded for the program's life.
    const HMODULE library = LoadLibraryW(L"comctl32.dll");
    if (library == nullptr) return false;
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    // Through void(*)(): GetProcAddress's type says nothing of the function's.
    const auto init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "InitCommonControlsEx")));
    if (init == nullptr) return false;
    INITCOMMONCONTROLSEX controls{sizeof controls, classes};
    return init(&controls) != FALSE;
}

}  // namespace framework
