#pragma once
// Where the programs take their libraries from. C:\Harvel stays writable for
// the plot files, so a library placed beside a program must never be loaded.
#include <windows.h>

namespace framework {

// Every later load by name, the system's own included, searches System32
// only, never the program's folder or the current folder. Each program's very
// first act; false when the system refuses it.
bool RestrictDllSearchToSystem32();

// Registers the given common control classes. The common-controls library is
// no static import (Windows would look for it beside the program first): it is
// loaded here, after the restriction above, as the program's manifest directs
// (version 6 for a program that asks for it, the classic one otherwise).
bool LoadCommonControls(DWORD classes);

}  // namespace framework
