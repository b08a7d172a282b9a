#pragma once

#include <string>

#include "sysinfo/system_info.h"

// The texts the program prints instead of opening its window.

// The five lines of "Info kopieren", each ended by a line feed, then one "Product: " line per
// product and one "Printer: " line per printer, in the record's order.
std::string InfoText(const CSystemInfo& info);
