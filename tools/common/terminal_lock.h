#pragma once
// A port is written by one job at a time: writing to a terminal device, a
// tool takes the same exclusive lock on it that cutsend takes while it
// streams, so that two jobs never mix their bytes on one cutter.

#include "engine/platform/failure.h"

class TerminalLock {
public:
    TerminalLock() = default;
    TerminalLock(const TerminalLock&) = delete;
    TerminalLock& operator=(const TerminalLock&) = delete;
    ~TerminalLock();

    // No failure when `path` is no terminal, or is one and now locked for
    // this tool; a failure when another job holds it.
    Failure Take(const char* path);

private:
    int fd_ = -1;
};
