#pragma once

#include <memory>
#include <string>

#include "helpers/temp_dir.h"
#include "platform/hive/hive_registry.h"

// Makes the process registry one read from regedit text for the life of the object: `machine` is
// the body of HKEY_LOCAL_MACHINE's file and `user` of HKEY_CURRENT_USER's (key lines with their
// full root names).
class ScopedSystemRegistry {
public:
    explicit ScopedSystemRegistry(const std::string& machine, const std::string& user = "") {
        const std::string header = "Windows Registry Editor Version 5.00\n\n";
        platform::SetSystemRegistry(
            std::make_unique<platform::HiveRegistry>(m_folder.WriteFile("system.reg", header + machine),
                                                     m_folder.WriteFile("user.reg", header + user)));
    }
    ~ScopedSystemRegistry() { platform::SetSystemRegistry(nullptr); }
    ScopedSystemRegistry(const ScopedSystemRegistry&) = delete;
    ScopedSystemRegistry& operator=(const ScopedSystemRegistry&) = delete;

private:
    TempDir m_folder;
};
