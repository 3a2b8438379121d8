// The fix for a port the user may not open: the device node's group to join with usermod
// and a new login, or the administrator when no group would help.
#include "port_permission_hint.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

namespace {

// The group's name, or its number where the system has no name for it.
std::string GroupName(gid_t gid) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    while (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == ERANGE)
        buffer.resize(buffer.size() * 2);
    return found != nullptr ? found->gr_name : std::to_string(gid);
}

}  // namespace

std::string PortPermissionHint(const std::string& device, int openError) {
    if (openError != EACCES && openError != EPERM) return "";
    struct stat info {};
    // Joining root's group would grant far more than the port, and a group
    // without write access would not help.
    if (::stat(device.c_str(), &info) != 0 || info.st_gid == 0 || (info.st_mode & S_IWGRP) == 0)
        return "\n  you may not use " + device + ": ask the administrator for access to it";
    const std::string group = GroupName(info.st_gid);
    return "\n  " + device + " may be used by the members of group " + group +
           "; to join it, run\n      sudo usermod -aG " + group +
           " $USER\n  then log out and log in again (the new group counts from the next login)";
}
