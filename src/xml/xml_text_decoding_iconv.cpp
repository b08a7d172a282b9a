#include <iconv.h>

#include <array>
#include <cerrno>
#include <optional>

#include "xml/xml_characters.h"
#include "xml/xml_text_decoding.h"

namespace {

struct Encoding {
    std::string name;
    std::size_t markBytes = 0;  // the byte-order mark, not part of the text
};

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// XML's EncName: a letter, then letters, digits, '.', '_' and '-'. Anything else (iconv's own
// suffixes such as "//IGNORE" included) names no encoding.
bool IsEncodingName(std::string_view name) {
    if (name.empty() || !IsAsciiLetter(name.front())) {
        return false;
    }
    for (const char c : name) {
        if (!IsAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '.' && c != '_' && c != '-') {
            return false;
        }
    }
    return true;
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The encoding pseudo-attribute of an XML declaration in an 8-bit encoding; none without one.
std::optional<std::string> DeclaredEncoding(std::string_view bytes) {
    if (!StartsWith(bytes, "<?xml") || bytes.size() < 6 || !IsXmlSpace(bytes[5])) {
        return std::nullopt;
    }
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    at += 8;
    const auto skipSpace = [&] {
        while (at < declaration.size() && IsXmlSpace(declaration[at])) {
            ++at;
        }
    };
    skipSpace();
    if (at >= declaration.size() || declaration[at] != '=') {
        return std::nullopt;
    }
    ++at;
    skipSpace();
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) {
        return std::nullopt;
    }
    const char quote = declaration[at++];
    const std::size_t end = declaration.find(quote, at);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(declaration.substr(at, end - at));
}

// As XML 1.0 tells a parser to find it: a byte-order mark, the pattern of "<" in a wide encoding,
// or the declaration.
Encoding DetectEncoding(std::string_view bytes) {
    using namespace std::string_view_literals;
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        return {"UTF-8", 3};
    }
    if (StartsWith(bytes, "\0\0\xFE\xFF"sv)) {
        return {"UTF-32BE", 4};
    }
    if (StartsWith(bytes, "\xFF\xFE\0\0"sv)) {
        return {"UTF-32LE", 4};
    }
    if (StartsWith(bytes, "\xFE\xFF")) {
        return {"UTF-16BE", 2};
    }
    if (StartsWith(bytes, "\xFF\xFE")) {
        return {"UTF-16LE", 2};
    }
    if (StartsWith(bytes, "\0\0\0<"sv)) {
        return {"UTF-32BE"};
    }
    if (StartsWith(bytes, "<\0\0\0"sv)) {
        return {"UTF-32LE"};
    }
    if (StartsWith(bytes, "\0<\0?"sv)) {
        return {"UTF-16BE"};
    }
    if (StartsWith(bytes, "<\0?\0"sv)) {
        return {"UTF-16LE"};
    }
    return {DeclaredEncoding(bytes).value_or("UTF-8")};
}

bool IsUtf8Name(std::string_view name) {
    if (name.size() != 5 && name.size() != 4) {
        return false;
    }
    std::string upper;
    for (const char c : name) {
        upper += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return upper == "UTF-8" || upper == "UTF8";
}

class Converter {
public:
    explicit Converter(const std::string& from) : m_handle(iconv_open("UTF-8", from.c_str())) {}
    ~Converter() {
        if (IsOpen()) {
            iconv_close(m_handle);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool IsOpen() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    // Appends the UTF-8 of `bytes` to `out`; false at the first byte that is not of the encoding, or
    // when the bytes end inside a character.
    bool Convert(std::string_view bytes, std::string& out) {
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        std::array<char, 16384> chunk;
        while (inLeft > 0) {
            char* next = chunk.data();
            std::size_t outLeft = chunk.size();
            const std::size_t result = iconv(m_handle, &in, &inLeft, &next, &outLeft);
            out.append(chunk.data(), static_cast<std::size_t>(next - chunk.data()));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
                return false;
            }
        }
        return true;
    }

private:
    iconv_t m_handle;
};

}  // namespace

XmlDecodedText DecodeXmlText(std::string_view bytes) {
    const Encoding encoding = DetectEncoding(bytes);
    const std::string_view body = bytes.substr(encoding.markBytes);
    XmlDecodedText decoded;
    if (IsUtf8Name(encoding.name)) {
        decoded.text = body;
    } else {
        if (!IsEncodingName(encoding.name)) {
            decoded.error = "The encoding \"" + encoding.name + "\" is not supported";
            return decoded;
        }
        Converter converter(encoding.name);
        if (!converter.IsOpen()) {
            decoded.error = "The encoding \"" + encoding.name + "\" is not supported";
            return decoded;
        }
        if (!converter.Convert(body, decoded.text)) {
            decoded.error = "The text holds bytes that are not " + encoding.name;
            return decoded;
        }
        // A declaration that its own encoding cannot read back names the wrong one.
        if (encoding.markBytes == 0 && StartsWith(body, "<?xml") && !StartsWith(decoded.text, "<?xml")) {
            decoded.error = "The text is not in the declared encoding " + encoding.name;
            decoded.text.clear();
            return decoded;
        }
    }
    const std::size_t invalid = FindNonXmlCharacter(decoded.text);
    if (invalid != std::string::npos) {
        decoded.error = "An invalid character was found in the text";
        decoded.text.resize(invalid);
    }
    return decoded;
}
