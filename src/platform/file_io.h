#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Reads a whole file in one go (hives and XML documents can be tens of megabytes). False when it
// cannot be opened or read; `bytes` is then empty.
bool ReadWholeFile(const std::filesystem::path& file, std::string& bytes);

}  // namespace platform
