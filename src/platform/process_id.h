#pragma once

#include <cstdint>

namespace platform {

std::uint32_t CurrentProcessId();

// True only when no process of that id runs any more. One that cannot be looked at, such as
// another user's, counts as running.
bool ProcessHasEnded(std::uint32_t id);

}  // namespace platform
