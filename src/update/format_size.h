#pragma once

#include <cstdint>
#include <string>

// A byte count as the download window shows it: "5.00 MB" above 1048576, "1.00 KB" above 1024,
// otherwise "1024 Bytes" (also for 0 and negative counts). Always with a decimal point.
std::string FormatSize(int64_t bytes);
