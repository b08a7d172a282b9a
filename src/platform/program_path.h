#pragma once

#include <filesystem>

namespace platform {

// The full path of the running program's executable; empty when the system cannot tell.
std::filesystem::path ProgramFile();

}  // namespace platform
