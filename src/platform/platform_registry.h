#pragma once

#include <memory>

#include "platform/registry.h"

namespace platform {

// The platform's own registry: advapi32 on Windows, hive files on Linux.
std::unique_ptr<Registry> CreatePlatformRegistry();

}  // namespace platform
