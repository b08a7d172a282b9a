#include <sstream>

#include "sysinfo/system_info.h"

std::string CSystemInfo::BuildReport() const {
    std::ostringstream report;
    report << "\n\n* * * * * * * * * * * * * * *\n";
    report << "Installierte Kartenwerke: " << m_Products.size() << "\n";
    for (const ProductInfo& product : m_Products) {
        report << product.m_strName << " " << product.m_strVersion << ": ";
        const char* separator = "";
        for (const std::string& item : product.m_Items) {
            report << separator << item;
            separator = ", ";
        }
        report << "\n";
    }
    return report.str();
}
