// What setup's access rule lets an ordinary user and an administrator do in
// C:\Harvel, evaluated from the rule itself.
#include <gtest/gtest.h>

#include "access_rule.h"
#include "effective_rights.h"

namespace {

using access_rule::EffectiveRights;
using access_rule::Principal;
using access_rule::Target;

const Principal kUser = Principal::OrdinaryUser();
const Principal kAdmin = Principal::Administrator();

// Changing a file in any way: its data, its attributes, its rule, its owner.
constexpr ACCESS_MASK kAnyChange = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                   FILE_WRITE_ATTRIBUTES | WRITE_DAC | WRITE_OWNER;
constexpr ACCESS_MASK kReadAndRun = FILE_READ_DATA | FILE_EXECUTE | FILE_READ_ATTRIBUTES;

TEST(AccessRule, UsersMayListTheFolderAndCreateFilesButNotChangeTheFolder) {
    const auto folder = access_rule::DescriptorFromSddl(kHarvelFolderSddl);
    const ACCESS_MASK user = EffectiveRights(folder.get(), kUser);
    EXPECT_EQ(user & (FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_ADD_FILE),
              FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_ADD_FILE);
    // Deleting a child through the folder would let a user remove or rename a program.
    // (FILE_ADD_FILE is FILE_WRITE_DATA on a folder.)
    EXPECT_EQ(user & (FILE_DELETE_CHILD | FILE_ADD_SUBDIRECTORY | DELETE | FILE_WRITE_EA |
                      FILE_WRITE_ATTRIBUTES | WRITE_DAC | WRITE_OWNER),
              0u);
    EXPECT_EQ(EffectiveRights(folder.get(), kAdmin), FILE_ALL_ACCESS);
}

TEST(AccessRule, APlotFileAUserCreatedIsEveryUsersToReplaceAndRemove) {
    const auto folder = access_rule::DescriptorFromSddl(kHarvelFolderSddl);
    const ACCESS_MASK user = EffectiveRights(folder.get(), kUser, Target::NewFile);
    const ACCESS_MASK wanted = FILE_READ_DATA | FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE;
    EXPECT_EQ(user & wanted, wanted);
    EXPECT_EQ(user & (WRITE_DAC | WRITE_OWNER), 0u);
    EXPECT_EQ(EffectiveRights(folder.get(), kAdmin, Target::NewFile), FILE_ALL_ACCESS);
}

TEST(AccessRule, TheUserWhoCreatedAPlotFileMayDoNoMoreWithItThanAnyUser) {
    const auto folder = access_rule::DescriptorFromSddl(kHarvelFolderSddl);
    const ACCESS_MASK creator = EffectiveRights(folder.get(), kUser, Target::OwnNewFile);
    // Changing its rule would lock other users, and Drovane, out of the file.
    EXPECT_EQ(creator & (WRITE_DAC | WRITE_OWNER), 0u);
    EXPECT_EQ(creator, EffectiveRights(folder.get(), kUser, Target::NewFile));
}

TEST(AccessRule, UsersMayOnlyReadAndRunEachProgram) {
    const auto program = access_rule::DescriptorFromSddl(kHarvelProgramSddl);
    const ACCESS_MASK user = EffectiveRights(program.get(), kUser);
    EXPECT_EQ(user & kReadAndRun, kReadAndRun);
    // Renaming or deleting needs DELETE here or FILE_DELETE_CHILD on the folder
    // (tested above).
    EXPECT_EQ(user & (kAnyChange | DELETE), 0u);
    EXPECT_EQ(EffectiveRights(program.get(), kAdmin), FILE_ALL_ACCESS);
}

}  // namespace
