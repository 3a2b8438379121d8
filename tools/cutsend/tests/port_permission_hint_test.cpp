// The fix a user is told when the port may not be opened: the device's own
// group and how to join it, read from a scratch file standing for the node.
#include "port_permission_hint.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace {

class PortPermissionHintTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/port-hint-XXXXXX";
        const int fd = ::mkstemp(pattern);
        ASSERT_GE(fd, 0);
        ::close(fd);
        path_ = pattern;
    }
    void TearDown() override { std::remove(path_.c_str()); }

    void OwnedByGroup(gid_t gid, mode_t mode) {
        ASSERT_EQ(::chown(path_.c_str(), static_cast<uid_t>(-1), gid), 0);
        ASSERT_EQ(::chmod(path_.c_str(), mode), 0);
    }
    // A group other than root's: our own, or dialout (gid 20 on Debian) for root.
    static gid_t OrdinaryGroup() { return ::getegid() != 0 ? ::getegid() : 20; }

    std::string path_;
};

TEST_F(PortPermissionHintTest, NamesTheDevicesGroupAndHowToJoinIt) {
    OwnedByGroup(OrdinaryGroup(), 0660);
    const group* owner = ::getgrgid(OrdinaryGroup());
    ASSERT_NE(owner, nullptr);
    const std::string name = owner->gr_name;
    EXPECT_EQ(PortPermissionHint(path_, EACCES),
              "\n  " + path_ + " may be used by the members of group " + name +
                  "; to join it, run\n      sudo usermod -aG " + name +
                  " $USER\n  then log out and log in again (the new group counts from the next "
                  "login)");
}

TEST_F(PortPermissionHintTest, NoGroupToJoinOrAnotherFailure) {
    OwnedByGroup(OrdinaryGroup(), 0640);  // the group may only read
    EXPECT_EQ(PortPermissionHint(path_, EACCES),
              "\n  you may not use " + path_ + ": ask the administrator for access to it");
    if (::geteuid() == 0) {
        OwnedByGroup(0, 0660);  // root's group: joining it would grant too much
        EXPECT_EQ(PortPermissionHint(path_, EACCES).find("usermod"), std::string::npos);
    }
    EXPECT_EQ(PortPermissionHint(path_, EBUSY), "");
    EXPECT_EQ(PortPermissionHint(path_, ENOENT), "");
}

}  // namespace
