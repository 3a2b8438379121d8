// Where joining the port's group would not help, or the failure is not one of
// permission, no usermod is suggested; a scratch file stands for the node.
// (port_permission_test.sh shows the usual case on a real pty.)
#include "port_permission_hint.h"

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
