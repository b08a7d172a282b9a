#pragma once

#include <string>
#include <vector>

#include "sysinfo/system_info.h"
#include "update/update_info.h"

// The texts the program prints instead of opening its window.

// The five lines of "Info kopieren", each ended by a line feed, then one "Product: " line per
// product and one "Printer: " line per printer, in the record's order.
std::string InfoText(const CSystemInfo& info);

// One line per update: name, version and file URL, separated by tabs. Within a field a backslash,
// tab, line feed and carriage return are written \\, \t, \n and \r, other control characters
// \xNN, the C1 controls and U+2028/U+2029 \uNNNN; invalid UTF-8 becomes U+FFFD.
std::string UpdateListText(const std::vector<UpdateInfo>& updates);
