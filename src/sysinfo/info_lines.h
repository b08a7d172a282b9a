#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sysinfo/system_info.h"

// The five facts as the main window shows them and "Info kopieren" copies them.
struct InfoLines {
    std::string cpu;
    std::string ram;
    std::string graphics;
    std::string driver;
    std::string os;
};

// memoryFormat is the memory line's text from the string table, with two "%.2lf" for the physical
// memory and the page file in megabytes.
InfoLines FormatInfoLines(const CSystemInfo& info, std::string_view memoryFormat);
std::string FormatGraphicsLine(const GraphicsInfo& graphics);
std::string FormatDriverLine(const GraphicsInfo& graphics);
// Fills the format's "%.Nlf" and "%.Nf" conversions in order; every other character, a stray "%"
// included, stays as it is, so a faulty translation cannot do harm.
std::string FormatMemoryLine(std::string_view format, uint64_t totalPhys, uint64_t totalPageFile);
// The labelled lines, in the order "Info kopieren" puts them, each ended by lineEnd.
std::string CopyInfoText(const InfoLines& lines, std::string_view lineEnd);
