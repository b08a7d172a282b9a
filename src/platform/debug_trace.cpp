#include "platform/debug_trace.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

bool DebugTraceEnabled() {
    static const bool enabled = std::getenv("LUMIKARTA_DEBUG") != nullptr;
    return enabled;
}

void DebugTrace(std::string_view message) {
    if (!DebugTraceEnabled()) {
        return;
    }
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fputc('\n', stderr);
}

}  // namespace platform
