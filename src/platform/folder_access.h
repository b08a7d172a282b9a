#pragma once

#include <span>
#include <string>
#include <string_view>

namespace platform {

// Makes the folders `levels` below the existing folder `base` ready for all users of the machine:
// each level is created where missing and opened without following a link (on Windows a reparse
// point), so that a link another user put in its place is refused and nothing at or below it is
// changed. The levels above the last are left as they are or made readable by all; the last is
// opened to everyone (read, write, enter; what is put into it later inherits that where the file
// system can), changed through the opened folder, never through its name. True when the last
// level was opened to everyone.
bool PrepareSharedFolder(const std::string& base, std::span<const std::string_view> levels);

}  // namespace platform
