#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "helpers/scoped_env.h"
#include "helpers/temp_dir.h"

// A made-up machine for the probes: an empty folder that LUMIKARTA_SYSROOT points at while the
// object lives. Paths are given as on the real machine ("/proc/cpuinfo").
class FakeSystemRoot {
public:
    FakeSystemRoot();

    // Writes the file, creating the folders above it.
    void WriteFile(std::string_view path, std::string_view bytes) const;
    // Makes `path` a symbolic link to `target` (taken as written, so relative targets work as in
    // /sys), creating the folders above it.
    void Link(std::string_view path, std::string_view target) const;
    void SetModified(std::string_view path, std::time_t when) const;
    std::string Path(std::string_view path) const;

private:
    TempDir m_root;
    ScopedEnv m_env;
};
