#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/registry_hive.h"
#include "platform/text_buffer.h"

namespace platform {

// Reads a registry text file into `hive`: regedit exports ("Windows Registry Editor Version 5.00",
// UTF-16LE with byte-order mark or UTF-8, and "REGEDIT4") and Wine hives ("WINE REGISTRY Version 2").
// Regedit files name the root of every key; keys of roots other than `root` are left out. Wine hives
// name none: all their keys belong to `root`. A line that cannot be read is skipped with a diagnostic
// trace and the rest still loads; the hive is then marked partial. Unknown when the header is none of the
// above (the hive stays empty).
RegistryTextFormat LoadRegistryText(TextBuffer bytes, RegRoot root, RegistryHive& hive);

// Applies the value lines that follow the key lines of one key (set and delete, in order, block
// after block) to `values`. False when a line was left out: a comment or one that cannot be read.
bool ParseRegistryValueLines(RegistryTextFormat format, std::span<const std::string_view> blocks,
                             std::vector<RegValue>& values);

}  // namespace platform
