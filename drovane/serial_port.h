#pragma once
#include <windows.h>

// Waits until the port's driver has sent every queued byte, so that closing
// the port does not drop the end of a job. False when the queue stops
// shrinking for longer than the port's write timeouts allow for one byte.
bool WaitForPortDrain(HANDLE port);
