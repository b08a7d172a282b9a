#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The probes' one way to the system's files below /proc, /sys, /etc, /usr and /lib: every path is
// taken below LUMIKARTA_SYSROOT when that is set, so tests can show the probes any machine.
namespace sysfiles {

// True when LUMIKARTA_SYSROOT names a root other than the real one.
bool HasSystemRoot();
std::filesystem::path SystemPath(std::string_view absolutePath);
// The whole file; none when it cannot be read.
std::optional<std::string> ReadSystemFile(std::string_view absolutePath);
// The file's first line without its line end; empty when the file cannot be read.
std::string ReadSystemLine(std::string_view absolutePath);

}  // namespace sysfiles
