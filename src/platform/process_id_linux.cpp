#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "platform/process_id.h"

namespace platform {

std::uint32_t CurrentProcessId() {
    return static_cast<std::uint32_t>(::getpid());
}

bool ProcessHasEnded(std::uint32_t id) {
    // 0 and what does not fit a pid_t would be taken by kill() for process groups; no process has them.
    if (id == 0 || id > static_cast<std::uint32_t>(std::numeric_limits<pid_t>::max())) {
        return true;
    }
    return ::kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH;
}

}  // namespace platform
