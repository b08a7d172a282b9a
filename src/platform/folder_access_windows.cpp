#include <windows.h>

#include <aclapi.h>

#include <vector>

#include "platform/file_handle_windows.h"
#include "platform/folder_access.h"
#include "platform/wide_text_windows.h"

namespace platform {

namespace {

// The folder itself, not what a reparse point (a junction or a link) would lead to; invalid when
// it is no folder or is a reparse point. Held without FILE_SHARE_DELETE, so that nobody can rename
// it and put something else in its place while the levels below are opened through its path.
FileHandle OpenLevel(const std::wstring& path) {
    CreateDirectoryW(path.c_str(), nullptr);
    FileHandle folder(CreateFileW(path.c_str(), READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION facts = {};
    if (!folder.IsOpen() || !GetFileInformationByHandle(folder.Get(), &facts) ||
        (facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (facts.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return FileHandle();
    }
    // Wine opens what a link leads to even when told not to, and shows the link only in the
    // attributes of its name; the open handle keeps that name from being replaced meanwhile.
    const DWORD named = GetFileAttributesW(path.c_str());
    if (named == INVALID_FILE_ATTRIBUTES || (named & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return FileHandle();
    }
    return folder;
}

bool GrantEveryoneFullAccess(HANDLE folder) {
    // The folder's list is read first so the one entry for Everyone is merged into it: entries an
    // administrator added for others stay.
    PACL oldAcl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(folder, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &oldAcl, nullptr,
                        &descriptor) != ERROR_SUCCESS) {
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
    const DWORD written =
        SetSecurityInfo(folder, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, newAcl, nullptr);
    LocalFree(newAcl);
    LocalFree(descriptor);
    return written == ERROR_SUCCESS;
}

}  // namespace

bool PrepareSharedFolder(const std::string& base, std::span<const std::string_view> levels) {
    if (levels.empty()) {
        return false;
    }
    // The base is the system's or the administrator's choice, whatever it leads to.
    std::wstring path = WideFromUtf8(base);
    std::vector<FileHandle> opened;
    for (const std::string_view level : levels) {
        if (!path.empty() && path.back() != L'\\' && path.back() != L'/') {
            path += L'\\';
        }
        path += WideFromUtf8(level);
        opened.push_back(OpenLevel(path));
        if (!opened.back().IsOpen()) {
            return false;
        }
    }
    return GrantEveryoneFullAccess(opened.back().Get());
}

}  // namespace platform
