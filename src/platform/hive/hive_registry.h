#pragma once

#include <filesystem>
#include <memory>

#include "platform/hive/hive_tree.h"
#include "platform/registry.h"

namespace platform {

// The registry served from two hives: HKEY_LOCAL_MACHINE, read-only, in both views (the 32-bit one
// mapped into Wow6432Node where the hive has one), and HKEY_CURRENT_USER, whose changes are written
// back to its file at once.
class HiveRegistry : public Registry {
public:
    // Missing or unreadable files give empty hives. An empty userFile keeps HKCU in memory only.
    HiveRegistry(const std::filesystem::path& machineFile, std::filesystem::path userFile);
    ~HiveRegistry() override;

    RegResult OpenKey(RegRoot root, std::string_view path, RegAccess access,
                      std::unique_ptr<RegistryKey>& key) override;
    RegResult OpenSubkey(RegRoot root, const RegistryKey& parent, std::string_view path,
                         std::string_view name, RegAccess access, std::unique_ptr<RegistryKey>& key) override;
    RegResult CreateKey(RegRoot root, std::string_view path, std::unique_ptr<RegistryKey>& key) override;

    // Writes HKCU to its file atomically: on failure the old file stays as it was. A file that holds
    // more than the hive (a Wine hive, keys of other roots, not a registry file) is never replaced.
    bool SaveUserHive() const;

private:
    RegResult OpenFound(RegRoot root, HiveTree::KeyId id, RegAccess access,
                        std::unique_ptr<RegistryKey>& key);

    HiveTree m_machine;
    HiveTree m_user;
    std::filesystem::path m_userFile;
    bool m_bUserFileWritable = true;
};

}  // namespace platform
