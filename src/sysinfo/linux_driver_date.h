#pragma once

#include <chrono>
#include <optional>
#include <string_view>

// The date of a kernel driver: the day (UTC) its module file, as modules.dep of the running kernel
// lists it, was last written; for a driver built into the kernel, or a module file that cannot be
// found, the day the kernel was built. None when neither can be told.
std::optional<std::chrono::year_month_day> LinuxDriverDate(std::string_view moduleName);
