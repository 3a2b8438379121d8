#pragma once
// The exit statuses cutconv and cutsend share, so that the same refusal ends
// both alike; docs/linux.md has the table of which reason gives which.
#include "engine/platform/system_error.h"

inline constexpr int kExitDone = 0;
// The work failed on its way (the output, the port, a scratch file, a drawing
// that changed while it was read); the reason is printed.
inline constexpr int kExitFailed = 1;
// Bad arguments, or a drawing or an output refused before anything is
// written or sent: a drawing missing, unreadable, not a regular file, too
// large, or not read as it stands; an output that is a folder, a disk or the
// drawing itself.
inline constexpr int kExitRefused = 2;

// The status for a failed conversion: what the user named wrongly (a drawing
// or its stream too large, a folder or a disk for a file, the drawing as its
// own output) is refused as bad arguments are; anything else failed.
inline int ConversionExitStatus(const SystemError& why) {
    switch (why.refusal()) {
        case Refusal::TooLarge:
        case Refusal::NotRegularFile:
        case Refusal::Folder:
        case Refusal::DiskDevice:
        case Refusal::OutputIsDrawing: return kExitRefused;
        default: return kExitFailed;
    }
}
