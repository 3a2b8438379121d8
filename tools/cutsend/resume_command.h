#pragma once
// The command that sends a stopped job again from a contour: the user's own
// command line with --from-contour set, quoted for a POSIX shell.
#include <cstdint>
#include <string>

std::string ResumeCommand(int argc, const char* const* argv, uint32_t contour);
