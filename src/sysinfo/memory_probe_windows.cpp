#include <windows.h>

#include "platform/system_function_windows.h"
#include "sysinfo/system_info.h"

void CSystemInfo::DetectMemory() {
    if (m_bIsNT && m_dwMajorVersion >= 5) {
        // Systems before Windows 2000 lack the extended call.
        if (const auto globalMemoryStatusEx = platform::SystemFunction<decltype(&GlobalMemoryStatusEx)>(
                L"kernel32.dll", "GlobalMemoryStatusEx")) {
            MEMORYSTATUSEX status{};
            status.dwLength = sizeof status;
            if (globalMemoryStatusEx(&status)) {
                m_ullTotalPhys = status.ullTotalPhys;
                // What the record calls the page file is the commit limit: memory and page files together.
                m_ullTotalPageFile = status.ullTotalPageFile;
                return;
            }
        }
    }
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    m_ullTotalPhys = status.dwTotalPhys;
    m_ullTotalPageFile = status.dwTotalPageFile;
}
