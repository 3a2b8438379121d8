#pragma once
#include <windows.h>

#include <string>

namespace ui {

// Requests to the fixture agent that the UI test wrapper runs on the Linux side
// (virtual serial ports, the virtual cutter, native conversions, screenshots;
// see scripts/ui-test/fixture-agent.sh). Returns the agent's output after its
// "ok" line; throws when it answers "fail" or not within timeoutMs.
std::string LinuxRequest(const std::string& request, unsigned timeoutMs = 30000);

// NAME.png among the test artifacts: the window as it is on the screen.
void Screenshot(HWND window, const std::string& name);

}  // namespace ui
