#pragma once

#include <filesystem>
#include <functional>

// Starts a program as an independent process, without arguments; this process does not wait for
// it. Tests put a recorder in its place.
using ProgramStarter = std::function<bool(const std::filesystem::path& program)>;

// False when the program could not be started.
bool StartProgram(const std::filesystem::path& program);

// Installs another starter and returns the one it replaces; an empty function brings back the real
// one.
ProgramStarter ReplaceProgramStarter(ProgramStarter starter);
