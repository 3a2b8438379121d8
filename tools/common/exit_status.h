#pragma once
// The exit statuses cutconv and cutsend share, so that the same refusal ends
// both alike; docs/linux.md has the table of which reason gives which.
#include "engine/platform/system_error.h"

inline constexpr int kExitDone = 0;
// The work failed on its way (the output, the port, a scratch file, a drawing
// that changed while it was read); the reason is printed.
inline constexpr int kExitFailed = 1;
// Bad arguments, or a drawing refused before anything is written or sent:
// missing, unreadable, not a regular file, too large, or not read as it stands.
inline constexpr int kExitRefused = 2;

// The status for a failed conversion: a drawing whose stream would be too
// large is refused as the drawing itself would be; anything else failed.
inline int ConversionExitStatus(const SystemError& why) {
    return why.refusal() == Refusal::TooLarge ? kExitRefused : kExitFailed;
}
