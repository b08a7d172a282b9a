#include "common/xml_characters.h"

#include "common/text_encoding.h"

bool IsXmlCharacter(char32_t character) {
    if (character < 0x20) {
        return character == '\t' || character == '\n' || character == '\r';
    }
    return (character < 0xD800 || character > 0xDFFF) && character != 0xFFFE && character != 0xFFFF &&
           character <= 0x10FFFF;
}

std::string XmlWritableText(std::string_view text) {
    if (FindNonXmlCharacter(text) == std::string_view::npos) {
        return std::string(text);
    }
    std::string writable;
    writable.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const std::optional<char32_t> character = DecodeUtf8(text, i);
        if (!character) {
            AppendUtf8(writable, 0xFFFD);
        } else if (IsXmlCharacter(*character)) {
            writable.append(text.substr(start, i - start));
        }
    }
    return writable;
}

std::size_t FindNonXmlCharacter(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        // ASCII is nearly all of it; only the control characters need a look.
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte < 0x80) {
            ++i;
            continue;
        }
        const std::optional<char32_t> character = DecodeUtf8(text, i);
        if (!character || !IsXmlCharacter(*character)) {
            return start;
        }
    }
    return std::string_view::npos;
}
