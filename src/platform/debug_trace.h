#pragma once

#include <string_view>

namespace platform {

// Diagnostic output for those who look (LUMIKARTA_DEBUG set): nothing reads it back.
bool DebugTraceEnabled();
void DebugTrace(std::string_view message);

}  // namespace platform
