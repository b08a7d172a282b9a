#include "xml/xml_name.h"

namespace {

bool IsAsciiAlpha(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

bool IsXmlName(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    const auto first = static_cast<unsigned char>(name.front());
    if (!IsAsciiAlpha(first) && first != '_' && first != ':' && first < 0x80) {
        return false;
    }
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (!IsAsciiAlpha(c) && !(c >= '0' && c <= '9') && c != '_' && c != ':' && c != '-' && c != '.' &&
            c < 0x80) {
            return false;
        }
    }
    return true;
}
