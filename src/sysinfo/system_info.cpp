#include "sysinfo/system_info.h"

void CSystemInfo::CollectAll() {
    DetectOS();
    m_bIsNT = PlatformIsNtFamily();
    DetectCPU();
    DetectMemory();
    if (!DetectGraphicsWMI()) {
        DetectGraphicsRegistry(m_Graphics);
    }
    DetectProducts();
    DetectPrinters();
}
