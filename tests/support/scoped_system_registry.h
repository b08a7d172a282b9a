#pragma once

#include <string>

#include "support/temp_dir.h"

// Makes the process registry one read from regedit text for the life of the object: `machine` is
// the body of HKEY_LOCAL_MACHINE's file and `user` of HKEY_CURRENT_USER's (key lines with their
// full root names).
class ScopedSystemRegistry {
public:
    explicit ScopedSystemRegistry(const std::string& machine, const std::string& user = "");
    ~ScopedSystemRegistry();
    ScopedSystemRegistry(const ScopedSystemRegistry&) = delete;
    ScopedSystemRegistry& operator=(const ScopedSystemRegistry&) = delete;

private:
    TempDir m_folder;
};
