#pragma once

#include <string>
#include <string_view>

namespace platform {

// Where a 32-bit program on 64-bit Windows finds the HKEY_LOCAL_MACHINE key `path`: SOFTWARE is
// redirected to SOFTWARE\Wow6432Node, except for the keys both views share.
std::string PathIn32BitView(std::string_view path);
// Whether the view puts `path` somewhere else than below the place it puts the key's parent: true for
// Wow6432Node itself and for the keys both views share.
bool LeavesParentInView(std::string_view path);

}  // namespace platform
