#include "sysinfo/system_info.h"

void CSystemInfo::DetectPrinters() {
    m_Printers.clear();
}
