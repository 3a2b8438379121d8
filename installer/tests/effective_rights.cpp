// Effective rights from a descriptor's owner and DACL, evaluated as the
// system's access check does: entries in order, a right denied before it is
// granted stays denied, the owner may read and change the rule unless an
// OWNER RIGHTS entry says what the owner may do instead.
#include "effective_rights.h"

#include <sddl.h>

#include <stdexcept>

namespace access_rule {
namespace {

std::shared_ptr<void> Sid(const wchar_t* text) {
    PSID sid = nullptr;
    if (!ConvertStringSidToSidW(text, &sid)) throw std::runtime_error("bad SID");
    return {sid, LocalFree};
}

}  // namespace

Principal::Principal(std::initializer_list<const wchar_t*> sids) {
    for (const wchar_t* sid : sids) sids_.push_back(Sid(sid));
}

// Everyone, Authenticated Users, Interactive, Users, and a user of its own.
Principal Principal::OrdinaryUser() {
    return Principal({L"WD", L"AU", L"IU", L"BU", L"S-1-5-21-1000-2000-3000-1001"});
}

Principal Principal::Administrator() {
    return Principal({L"WD", L"AU", L"IU", L"BU", L"BA", L"S-1-5-21-1000-2000-3000-500"});
}

bool Principal::Has(PSID sid) const {
    for (const auto& own : sids_)
        if (EqualSid(own.get(), sid)) return true;
    return false;
}

ACCESS_MASK EffectiveRights(PSECURITY_DESCRIPTOR descriptor, const Principal& who, Target target) {
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
    BOOL present = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    if (!present || dacl == nullptr) return FILE_ALL_ACCESS;  // no DACL: no limit

    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                            FILE_ALL_ACCESS};
    const bool owns = target == Target::Object ? owner != nullptr && who.Has(owner)
                                               : target == Target::OwnNewFile;
    const auto ownerRights = Sid(L"OW");
    std::vector<ACE_HEADER*> entries;
    bool ownerRightsListed = false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&header))) continue;
        const bool applies = target == Target::Object ? !(header->AceFlags & INHERIT_ONLY_ACE)
                                                      : (header->AceFlags & OBJECT_INHERIT_ACE);
        if (!applies) continue;
        entries.push_back(header);
        // Allowed and denied entries share their layout up to the SID.
        const auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        ownerRightsListed |=
            EqualSid(const_cast<DWORD*>(&ace->SidStart), ownerRights.get()) != FALSE;
    }

    ACCESS_MASK granted = 0;
    ACCESS_MASK denied = 0;
    if (owns && !ownerRightsListed) granted |= READ_CONTROL | WRITE_DAC;
    for (ACE_HEADER* header : entries) {
        const auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        auto* sid = const_cast<DWORD*>(&ace->SidStart);
        if (!who.Has(sid) && !(owns && EqualSid(sid, ownerRights.get()))) continue;
        ACCESS_MASK mask = ace->Mask;
        MapGenericMask(&mask, &mapping);
        if (header->AceType == ACCESS_ALLOWED_ACE_TYPE) granted |= mask & ~denied;
        if (header->AceType == ACCESS_DENIED_ACE_TYPE) denied |= mask & ~granted;
    }
    return granted & FILE_ALL_ACCESS;
}

std::shared_ptr<void> DescriptorFromSddl(const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        throw std::runtime_error("SDDL refused");
    return {descriptor, LocalFree};
}

}  // namespace access_rule
