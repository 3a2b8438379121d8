#pragma once
// What a user who may not open the cutter's port is told to do about it: most
// often join the group that owns the device (dialout on Debian).
#include <string>

// The lines to add to the open failure `openError` (an errno value) of
// `device`: the group read from the device node and the usermod command, or,
// where no group may write to it, whom to ask. Empty for any other failure.
std::string PortPermissionHint(const std::string& device, int openError);
