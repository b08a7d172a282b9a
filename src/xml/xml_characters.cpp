#include "xml/xml_characters.h"

#include <charconv>
#include <utility>

#include "text/text_encoding.h"

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

namespace {

// Whether `reference` (from its "&") starts a reference that needs no DTD: a predefined entity or
// a character reference to a character XML allows.
bool IsReadableReference(std::string_view reference) {
    for (const std::string_view entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"}) {
        if (reference.starts_with(entity)) {
            return true;
        }
    }
    if (!reference.starts_with("&#")) {
        return false;
    }
    const bool hex = reference.size() > 2 && reference[2] == 'x';
    const char* digits = reference.data() + (hex ? 3 : 2);
    const char* end = reference.data() + reference.size();
    unsigned long value = 0;
    const std::from_chars_result read = std::from_chars(digits, end, value, hex ? 16 : 10);
    return read.ptr != digits && read.ptr != end && *read.ptr == ';' && read.ec == std::errc() &&
           value <= 0x10FFFF && IsXmlCharacter(static_cast<char32_t>(value));
}

}  // namespace

std::size_t FindUnreadableReference(std::string_view xml) {
    static constexpr std::pair<std::string_view, std::string_view> kVerbatim[] = {
        {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}};
    std::size_t at = 0;
    while ((at = xml.find_first_of("<&", at)) != std::string_view::npos) {
        const std::string_view rest = xml.substr(at);
        if (rest.front() == '&') {
            if (!IsReadableReference(rest)) {
                return at;
            }
            ++at;
            continue;
        }
        ++at;
        for (const auto& [open, close] : kVerbatim) {
            if (rest.starts_with(open)) {
                const std::size_t end = xml.find(close, at + open.size() - 1);
                // Unterminated, it is no well-formed document anyway.
                at = end == std::string_view::npos ? xml.size() : end + close.size();
                break;
            }
        }
    }
    return std::string_view::npos;
}
