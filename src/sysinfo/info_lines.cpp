#include "sysinfo/info_lines.h"

#include <array>

#include "text/fixed_decimal.h"
#include "text/trim.h"

namespace {

double Megabytes(uint64_t bytes) {
    return static_cast<double>(bytes) / 1024 / 1024;
}

// Characters `from` to `from + count` of the text, as far as the text reaches.
std::string_view Slice(std::string_view text, std::size_t from, std::size_t count) {
    return from < text.size() ? text.substr(from, count) : std::string_view();
}

}  // namespace

std::string FormatGraphicsLine(const GraphicsInfo& graphics) {
    if (!graphics.m_bFromWMI) {
        return graphics.m_strDescription;
    }
    return graphics.m_strDescription + " (" + FixedDecimal(Megabytes(graphics.m_nAdapterRAM), 2) + " MB) (" +
           std::to_string(graphics.m_nHorzRes) + " x " + std::to_string(graphics.m_nVertRes) + " " +
           std::to_string(graphics.m_nBitsPerPixel) + " Bit)";
}

std::string FormatDriverLine(const GraphicsInfo& graphics) {
    if (!graphics.m_bFromWMI) {
        return graphics.m_strDriverVersion + " (" + graphics.m_strDriverDate + ")";
    }
    // The query's date begins with yyyymmdd; it is shown as dd.mm.yyyy.
    const std::string_view date = graphics.m_strDriverDate;
    std::string line = graphics.m_strDriverVersion + " (";
    line.append(Slice(date, 6, 2)).append(".").append(Slice(date, 4, 2)).append(".");
    return line.append(Slice(date, 0, 4)).append(")");
}

std::string FormatMemoryLine(std::string_view format, uint64_t totalPhys, uint64_t totalPageFile) {
    const std::array<double, 2> values = {Megabytes(totalPhys), Megabytes(totalPageFile)};
    std::size_t next = 0;
    std::string line;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || next == values.size()) {
            line.push_back(format[i]);
            continue;
        }
        // "%.<digit>lf" or "%.<digit>f"
        std::size_t end = i + 1;
        int precision = 6;
        if (end + 1 < format.size() && format[end] == '.' && format[end + 1] >= '0' &&
            format[end + 1] <= '9') {
            precision = format[end + 1] - '0';
            end += 2;
        }
        if (end < format.size() && format[end] == 'l') {
            ++end;
        }
        if (end < format.size() && format[end] == 'f') {
            line += FixedDecimal(values[next++], precision);
            i = end;
        } else {
            line.push_back('%');
        }
    }
    return line;
}

InfoLines FormatInfoLines(const CSystemInfo& info, std::string_view memoryFormat) {
    InfoLines lines;
    lines.cpu = std::string(TrimWhiteSpace(info.m_strCPUName));
    lines.ram = FormatMemoryLine(memoryFormat, info.m_ullTotalPhys, info.m_ullTotalPageFile);
    lines.graphics = FormatGraphicsLine(info.m_Graphics);
    lines.driver = FormatDriverLine(info.m_Graphics);
    lines.os = info.m_strOS;
    return lines;
}

std::string CopyInfoText(const InfoLines& lines, std::string_view lineEnd) {
    std::string text;
    for (const auto& [label, value] : {std::pair{"CPU: ", &lines.cpu}, std::pair{"RAM: ", &lines.ram},
                                       std::pair{"Grafic: ", &lines.graphics},
                                       std::pair{"Driver: ", &lines.driver}, std::pair{"OS: ", &lines.os}}) {
        text.append(label).append(*value).append(lineEnd);
    }
    return text;
}
