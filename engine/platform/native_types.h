#pragma once

// The platform's handle for an open serial port: a HANDLE on Windows, a file
// descriptor elsewhere.
#ifdef _WIN32
using PortHandle = void*;
inline const PortHandle kNoPort = nullptr;
#else
using PortHandle = int;
inline constexpr PortHandle kNoPort = -1;
#endif
