#include "core/headless_output.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string_view>

#include "res/resources.h"
#include "res/string_ids.h"
#include "sysinfo/info_lines.h"
#include "text/text_encoding.h"

namespace {

struct NamedEscape {
    unsigned char byte;
    std::string_view text;
};
constexpr NamedEscape kNamedEscapes[] = {{'\\', "\\\\"}, {'\t', "\\t"}, {'\n', "\\n"}, {'\r', "\\r"}};

void AppendEscape(std::string& out, const char* format, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out.append(escape);
}

// A field of a line that scripts split at tabs and line ends. The texts come from a server, so
// nothing in them may end a field or a line, or reach a terminal as a control sequence: control
// characters and the Unicode line breaks are written as backslash escapes (and the backslash
// itself, so the escaping can be undone), invalid UTF-8 as U+FFFD.
std::string ScriptField(std::string_view text) {
    // Decoding and encoding again replaces every invalid sequence.
    const std::string valid = Utf16ToUtf8(Utf8ToUtf16(text));
    std::string field;
    field.reserve(valid.size());
    for (std::size_t i = 0; i < valid.size(); ++i) {
        const auto byte = static_cast<unsigned char>(valid[i]);
        const auto next = i + 1 < valid.size() ? static_cast<unsigned char>(valid[i + 1]) : 0u;
        if (const auto named = std::find_if(std::begin(kNamedEscapes), std::end(kNamedEscapes),
                                            [&](const NamedEscape& escape) { return escape.byte == byte; });
            named != std::end(kNamedEscapes)) {
            field.append(named->text);
        } else if (byte < 0x20 || byte == 0x7F) {
            AppendEscape(field, "\\x%02X", byte);
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            // C1 controls (U+0080 to U+009F), among them NEL, a line end to Unicode-aware readers.
            AppendEscape(field, "\\u%04X", next);
            ++i;
        } else if (byte == 0xE2 && next == 0x80 && i + 2 < valid.size() &&
                   (valid[i + 2] == '\xA8' || valid[i + 2] == '\xA9')) {
            // LINE SEPARATOR and PARAGRAPH SEPARATOR.
            AppendEscape(field, "\\u%04X", 0x2000u + (static_cast<unsigned char>(valid[i + 2]) - 0x80u));
            i += 2;
        } else {
            field.push_back(valid[i]);
        }
    }
    return field;
}

}  // namespace

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
        text.append(ScriptField(update.Name))
            .append("\t")
            .append(ScriptField(update.Version))
            .append("\t")
            .append(ScriptField(update.File))
            .append("\n");
    }
    return text;
}
