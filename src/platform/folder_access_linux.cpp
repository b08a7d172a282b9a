#include <fcntl.h>
#include <sys/acl.h>
#include <sys/stat.h>

#include <string>

#include "platform/file_descriptor_linux.h"
#include "platform/folder_access.h"

namespace platform {

namespace {

// Owner, owning group and all others; the mask too, since it caps what the group entries grant.
constexpr acl_tag_t kEveryoneTags[] = {ACL_USER_OBJ, ACL_GROUP_OBJ, ACL_OTHER, ACL_MASK};
constexpr acl_perm_t kAllRights[] = {ACL_READ, ACL_WRITE, ACL_EXECUTE};
// Everyone may put files in, but only their owner may remove or rename them, as in /tmp.
constexpr mode_t kSharedMode = S_ISVTX | S_IRWXU | S_IRWXG | S_IRWXO;
constexpr mode_t kMakerMode = S_IRWXU | S_IRGRP | S_IXGRP | S_IROTH | S_IXOTH;

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

// Opens the list to everyone. Entries for named users and groups that an administrator added stay,
// as Windows merges the one new entry into the folder's list. False where the file system keeps
// no such lists.
bool OpenListToEveryone(acl_t acl) {
    for (const acl_tag_t tag : kEveryoneTags) {
        acl_entry_t entry = nullptr;
        if (!FindOrAddEntry(acl, tag, entry) || !GrantAllRights(entry)) {
            return false;
        }
    }
    return true;
}

void OpenAccessListToEveryone(int folder) {
    acl_t acl = acl_get_fd(folder);
    if (acl != nullptr) {
        if (OpenListToEveryone(acl)) {
            acl_set_fd(folder, acl);
        }
        acl_free(acl);
    }
}

// There is no call for the default list of a descriptor; the descriptor's entry in /proc names
// exactly the folder that was opened, whatever happens to its name meanwhile.
void OpenDefaultListToEveryone(int folder) {
    const std::string opened = "/proc/self/fd/" + std::to_string(folder);
    acl_t acl = acl_get_file(opened.c_str(), ACL_TYPE_DEFAULT);
    if (acl != nullptr) {
        if (OpenListToEveryone(acl)) {
            acl_set_file(opened.c_str(), ACL_TYPE_DEFAULT, acl);
        }
        acl_free(acl);
    }
}

bool GrantEveryoneFullAccess(int folder) {
    // The mode alone already lets everyone in; the lists only add to it where they exist.
    if (fchmod(folder, kSharedMode) != 0) {
        return false;
    }
    OpenAccessListToEveryone(folder);
    // Without a default list, files that others put into the folder would get their umask and
    // might not be replaceable by the next user.
    OpenDefaultListToEveryone(folder);
    return true;
}

// The level `name` in `parent`, created with `mode` when missing (the umask does not narrow it);
// below 0 when it cannot be made or is no folder of its own (a link, even to a folder, included).
int OpenLevel(int parent, const std::string& name, mode_t mode) {
    const bool created = mkdirat(parent, name.c_str(), mode) == 0;
    const int level = openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (level >= 0 && created) {
        fchmod(level, mode);
    }
    return level;
}

}  // namespace

bool PrepareSharedFolder(const std::string& base, std::span<const std::string_view> levels) {
    if (levels.empty()) {
        return false;
    }
    // The base is the system's or the administrator's choice, links and all.
    FileDescriptor folder(open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (std::size_t i = 0; i < levels.size() && folder.Get() >= 0; ++i) {
        const bool last = i + 1 == levels.size();
        folder.Reset(OpenLevel(folder.Get(), std::string(levels[i]), last ? kSharedMode : kMakerMode));
    }
    return folder.Get() >= 0 && GrantEveryoneFullAccess(folder.Get());
}

}  // namespace platform
