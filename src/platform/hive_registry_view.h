#pragma once

#include <string>
#include <string_view>

namespace platform {

// Where a 32-bit program on 64-bit Windows finds the HKEY_LOCAL_MACHINE key `path`: SOFTWARE is
// redirected to SOFTWARE\Wow6432Node, except for the keys both views share.
std::string PathIn32BitView(std::string_view path);

}  // namespace platform
