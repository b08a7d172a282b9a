#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/hive/hive_tree.h"
#include "platform/registry.h"
#include "platform/text_buffer.h"

namespace platform {

// Reads a registry text file into `hive`: regedit exports ("Windows Registry Editor Version 5.00",
// UTF-16LE with byte-order mark or UTF-8, and "REGEDIT4") and Wine hives ("WINE REGISTRY Version 2").
// Regedit files name the root of every key; keys of roots other than `root` are left out. Wine hives
// name none: all their keys belong to `root`. A line that cannot be read is skipped with a diagnostic
// trace and the rest still loads; the hive is then marked partial. Unknown when the header is none of the
// above (the hive stays empty).
RegistryTextFormat LoadRegistryText(TextBuffer bytes, RegRoot root, HiveTree& hive);

// A value line taken apart without decoding: the name as written (empty for "@") and the data after
// "=", a deletion when that is "-".
struct RegValueLine {
    std::string_view name;
    std::string_view data;
    bool erase = false;
};

enum class ValueLineKind { Blank, Value, Unreadable };

// Takes one value line apart; Unreadable for a comment and for a line whose name or data cannot be
// read, so that `parts` of a Value line always decode.
ValueLineKind SplitValueLine(RegistryTextFormat format, std::string_view line, RegValueLine& parts);
// The same for a line that SplitValueLine took as a Value, without checking it again.
void SplitCheckedValueLine(std::string_view line, RegValueLine& parts);
// The parts of a Value line decoded, into the caller's buffers.
void DecodeValueName(RegistryTextFormat format, std::string_view written, std::string& name);
void DecodeValueData(RegistryTextFormat format, std::string_view data, RegValue& value);

// Takes the next line off `lines`; one ending in a backslash goes on in the next (long hex data),
// and those are joined in `joined`.
std::string_view TakeLogicalLine(std::string_view& lines, std::string& joined);

}  // namespace platform
