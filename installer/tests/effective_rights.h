#pragma once
// What an ordinary user and an administrator may do with a file or folder, read
// from its security descriptor the way the system's access check reads it. Wine
// neither enforces these rules nor evaluates them for another user, so the
// tests of setup's access rule evaluate the entries themselves.
#include <windows.h>

#include <memory>
#include <vector>

namespace access_rule {

// A signed-in user, optionally a member of the administrators.
class Principal {
public:
    static Principal OrdinaryUser();
    static Principal Administrator();
    bool Has(PSID sid) const;

private:
    explicit Principal(std::initializer_list<const wchar_t*> sids);
    std::vector<std::shared_ptr<void>> sids_;  // freed with LocalFree
};

// The object itself, or a file that is newly created inside it (a folder):
// by another user (who owns it) or by the principal itself.
enum class Target { Object, NewFile, OwnNewFile };

// The rights (file access mask, generic rights mapped) the descriptor grants.
// For a new file, what the inherited entries grant, the owner's implicit
// rights added for a file of one's own.
ACCESS_MASK EffectiveRights(PSECURITY_DESCRIPTOR descriptor, const Principal& who,
                            Target target = Target::Object);

// A descriptor from SDDL, freed with LocalFree.
std::shared_ptr<void> DescriptorFromSddl(const wchar_t* sddl);

}  // namespace access_rule
