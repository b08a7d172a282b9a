#include <windows.h>

#include "sysinfo/system_info.h"

namespace {

// Systems before Windows 2000 lack the extended call, so it is looked up rather than linked.
decltype(&GlobalMemoryStatusEx) ExtendedMemoryStatus() {
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (kernel32 == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<decltype(&GlobalMemoryStatusEx)>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "GlobalMemoryStatusEx")));
}

}  // namespace

void CSystemInfo::DetectMemory() {
    if (m_bIsNT && m_dwMajorVersion >= 5) {
        if (const auto globalMemoryStatusEx = ExtendedMemoryStatus()) {
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
