#include <windows.h>

#include <aclapi.h>

#include "platform/folder_access.h"
#include "platform/wide_text_windows.h"

namespace platform {

bool GrantEveryoneFullAccess(const std::string& folderPath) {
    const std::wstring path = WideFromUtf8(folderPath);
    // The folder's list is read first so the one entry for Everyone is merged into it: entries an
    // administrator added for others stay.
    PACL oldAcl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              &oldAcl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    SID_IDENTIFIER_AUTHORITY worldAuthority = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&worldAuthority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
        LocalFree(descriptor);
        return false;
    }
    EXPLICIT_ACCESSW access = {};
    access.grfAccessPermissions = GENERIC_ALL;
    access.grfAccessMode = SET_ACCESS;
    access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    access.Trustee.pMultipleTrustee = nullptr;
    access.Trustee.MultipleTrusteeOperation = NO_MULTIPLE_TRUSTEE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_UNKNOWN;
    access.Trustee.ptstrName = static_cast<LPWSTR>(everyone);
    PACL newAcl = nullptr;
    const DWORD merged = SetEntriesInAclW(1, &access, oldAcl, &newAcl);
    FreeSid(everyone);
    if (merged != ERROR_SUCCESS) {
        LocalFree(descriptor);
        return false;
    }
    // The path is handed over as a writable buffer: the call's parameter is not const.
    std::wstring target = path;
    const DWORD written = SetNamedSecurityInfoW(target.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                                nullptr, nullptr, newAcl, nullptr);
    LocalFree(newAcl);
    LocalFree(descriptor);
    return written == ERROR_SUCCESS;
}

}  // namespace platform
