#include <windows.h>

#include "platform/process_id.h"

namespace platform {

std::uint32_t CurrentProcessId() {
    return GetCurrentProcessId();
}

bool ProcessHasEnded(std::uint32_t id) {
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process == nullptr) {
        return GetLastError() == ERROR_INVALID_PARAMETER;
    }
    // A process that has exited stays known by its id while someone holds a handle to it.
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

}  // namespace platform
