#include "sysinfo/system_info.h"

bool CSystemInfo::DetectGraphicsWMI() {
    return false;
}

void CSystemInfo::DetectGraphicsRegistry(GraphicsInfo& graphics) {
    graphics.m_bFromWMI = false;
}
