#include "app/headless_output.h"

#include "res/resources.h"
#include "res/string_ids.h"
#include "sysinfo/info_lines.h"

std::string InfoText(const CSystemInfo& info) {
    std::string text = CopyInfoText(FormatInfoLines(info, LoadResString(IDS_MEMORY_LINE)), "\n");
    for (const ProductInfo& product : info.m_Products) {
        text.append("Product: ")
            .append(product.m_strName)
            .append(" ")
            .append(product.m_strVersion)
            .append("\n");
    }
    for (const std::string& printer : info.m_Printers) {
        text.append("Printer: ").append(printer).append("\n");
    }
    return text;
}
