#include <sys/acl.h>
#include <sys/stat.h>

#include "platform/folder_access.h"

namespace platform {

namespace {

// Owner, owning group and all others; the mask too, since it caps what the group entries grant.
constexpr acl_tag_t kEveryoneTags[] = {ACL_USER_OBJ, ACL_GROUP_OBJ, ACL_OTHER, ACL_MASK};
constexpr acl_perm_t kAllRights[] = {ACL_READ, ACL_WRITE, ACL_EXECUTE};

// The list's entry of `tag`, added when it has none.
bool FindOrAddEntry(acl_t& acl, acl_tag_t tag, acl_entry_t& entry) {
    for (int which = ACL_FIRST_ENTRY; acl_get_entry(acl, which, &entry) == 1; which = ACL_NEXT_ENTRY) {
        acl_tag_t found = ACL_UNDEFINED_TAG;
        if (acl_get_tag_type(entry, &found) == 0 && found == tag) {
            return true;
        }
    }
    return acl_create_entry(&acl, &entry) == 0 && acl_set_tag_type(entry, tag) == 0;
}

bool GrantAllRights(acl_entry_t entry) {
    acl_permset_t rights = nullptr;
    if (acl_get_permset(entry, &rights) != 0 || acl_clear_perms(rights) != 0) {
        return false;
    }
    for (const acl_perm_t right : kAllRights) {
        if (acl_add_perm(rights, right) != 0) {
            return false;
        }
    }
    return acl_set_permset(entry, rights) == 0;
}

// Opens the list of `type` to everyone. Entries for named users and groups that an administrator
// added stay, as Windows merges the one new entry into the folder's list. False where the file
// system keeps no such lists.
bool OpenListToEveryone(const char* path, acl_type_t type) {
    acl_t acl = acl_get_file(path, type);
    if (acl == nullptr) {
        return false;
    }
    bool changed = true;
    for (const acl_tag_t tag : kEveryoneTags) {
        acl_entry_t entry = nullptr;
        changed = changed && FindOrAddEntry(acl, tag, entry) && GrantAllRights(entry);
    }
    changed = changed && acl_set_file(path, type, acl) == 0;
    acl_free(acl);
    return changed;
}

}  // namespace

bool GrantEveryoneFullAccess(const std::string& folderPath) {
    // The mode alone already lets everyone in; the lists only add to it where they exist.
    if (chmod(folderPath.c_str(), 0777) != 0) {
        return false;
    }
    OpenListToEveryone(folderPath.c_str(), ACL_TYPE_ACCESS);
    // Without a default list, files that others put into the folder would get their umask and
    // might not be replaceable by the next user.
    OpenListToEveryone(folderPath.c_str(), ACL_TYPE_DEFAULT);
    return true;
}

}  // namespace platform
