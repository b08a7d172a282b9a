#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace platform {

// Writes the bytes into a new file with a unique name made from the first three characters of the
// prefix in the system's temporary folder; the caller deletes it. None when it could not be made or written
// whole, in which case nothing is left behind.
std::optional<std::filesystem::path> WriteTempFile(std::string_view prefix, std::string_view bytes);

}  // namespace platform
