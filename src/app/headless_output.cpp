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

std::string UpdateListText(const std::vector<UpdateInfo>& updates) {
    std::string text;
    for (const UpdateInfo& update : updates) {
        text.append(update.Name)
            .append("\t")
            .append(update.Version)
            .append("\t")
            .append(update.File)
            .append("\n");
    }
    return text;
}
