#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

// Publishes a file whole or not at all: the bytes go to a temporary file in the target's folder, are
// flushed to the disk, and only then take the target's name. A crash or a full disk never leaves a
// half-written request or key behind under its real name.
class AtomicFile {
public:
    enum class Existing {
        Replace,  // an older file of that name is replaced
        Keep,     // an older file of that name wins; Write fails with errc::file_exists
    };

    // Writes `bytes` to `target` with the permission bits `mode`. Returns the
    // error, or an empty error code on success.
    static std::error_code Write(const std::filesystem::path& target, std::string_view bytes,
                                 Existing existing,
                                 std::filesystem::perms mode = std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write);
};
