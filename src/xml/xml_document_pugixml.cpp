#include <algorithm>
#include <filesystem>
#include <pugixml.hpp>

#include "platform/text_buffer.h"
#include "text/utf8.h"
#include "text/utf8_path.h"
#include "xml/xml_characters.h"
#include "xml/xml_document.h"
#include "xml/xml_name.h"
#include "xml/xml_node_pattern.h"
#include "xml/xml_text_decoding.h"

struct CXMLDocument::Impl {
    pugi::xml_document document;
};

namespace {

// White space between elements is kept in the tree: where it stood decides where a text gets a
// blank (see TextContent). A DTD is parsed only to be refused: the other platform's parser takes
// no document with one, and this one would leave its entities as literal text.
constexpr unsigned int kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_doctype;

pugi::xml_node ToPugi(const CXMLNode& node) {
    return pugi::xml_node(static_cast<pugi::xml_node_struct*>(node.Handle()));
}

CXMLNode FromPugi(pugi::xml_node node) {
    return CXMLNode(node.internal_object());
}

// Visits the descendants of `start` in document order without recursion: the parser accepts
// nesting far deeper than the stack would.
template <typename Visit>
void ForEachDescendant(pugi::xml_node start, Visit visit) {
    pugi::xml_node node = start.first_child();
    while (node) {
        visit(node);
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (!node.next_sibling()) {
            node = node.parent();
            if (node == start) {
                return;
            }
        }
        node = node.next_sibling();
    }
}

bool IsXmlWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The text of all descendants as the other platform's DOM gives it at its default settings: white
// space alone between elements is no text but a blank between the texts around it, and the whole is
// trimmed, except for blanks a CDATA section holds. So an update definition that writes a value on
// an indented line of its own reads the same everywhere.
std::string TextContent(pugi::xml_node node) {
    if (node.type() != pugi::node_element && node.type() != pugi::node_document) {
        return node.value();
    }
    std::string text;
    bool blankPending = false;
    std::size_t keptFrom = std::string::npos;
    std::size_t keptTo = 0;
    ForEachDescendant(node, [&](pugi::xml_node descendant) {
        const bool cdata = descendant.type() == pugi::node_cdata;
        if (!cdata && descendant.type() != pugi::node_pcdata) {
            return;
        }
        const std::string_view value = descendant.value();
        if (!cdata && std::all_of(value.begin(), value.end(), IsXmlWhiteSpace)) {
            blankPending = blankPending || !value.empty();
            return;
        }
        if (blankPending && !text.empty()) {
            text += ' ';
        }
        blankPending = false;
        if (cdata) {
            keptFrom = std::min(keptFrom, text.size());
        }
        text += value;
        if (cdata) {
            keptTo = text.size();
        }
    });
    std::size_t begin = 0;
    while (begin < std::min(keptFrom, text.size()) && IsXmlWhiteSpace(text[begin])) {
        ++begin;
    }
    std::size_t end = text.size();
    while (end > std::max(keptTo, begin) && IsXmlWhiteSpace(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

struct TextPosition {
    int line = 1;
    int column = 1;
};

// Where the UTF-8 text stops being readable as a byte offset; people want the line and the
// character in it.
TextPosition PositionOf(std::string_view text, std::size_t offset) {
    TextPosition position;
    for (const char c : text.substr(0, offset)) {
        if (c == '\n') {
            ++position.line;
            position.column = 1;
        } else if (!IsUtf8Continuation(c)) {
            ++position.column;
        }
    }
    return position;
}

class StringWriter final : public pugi::xml_writer {
public:
    void write(const void* data, std::size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }

    std::string text;
};

}  // namespace

CXMLDocument::CXMLDocument() : m_bValid(true), m_pImpl(std::make_unique<Impl>()) {}

CXMLDocument::~CXMLDocument() = default;

void CXMLDocument::ClearDocument() {
    m_pImpl->document.reset();
}

bool CXMLDocument::LoadFile(const std::string& path) {
    platform::TextBuffer bytes;
    if (!platform::TextBuffer::FromFile(PathFromUtf8(path), bytes)) {
        return FailRead("File not found or not readable");
    }
    return ParseLoaded(bytes.View());
}

bool CXMLDocument::ParseLoaded(std::string_view bytes) {
    const XmlDecodedText decoded = DecodeXmlText(bytes);
    if (!decoded.error.empty()) {
        const TextPosition position = PositionOf(decoded.text, decoded.text.size());
        return FailParse(decoded.error, position.line, position.column);
    }
    // pugixml leaves an unknown entity or a lone "&" as text and turns any character reference
    // into its character: a document with "&#1;" could never be read back once written, and "&#0;"
    // would cut its text short. The other platform's parser refuses all of them.
    const std::size_t reference = FindUnreadableReference(decoded.text);
    if (reference != std::string::npos) {
        const TextPosition position = PositionOf(decoded.text, reference);
        return FailParse("A reference names no entity or no character XML allows", position.line,
                         position.column);
    }
    const pugi::xml_parse_result result = m_pImpl->document.load_buffer(
        decoded.text.data(), decoded.text.size(), kParseOptions, pugi::encoding_utf8);
    if (!result) {
        const TextPosition position =
            PositionOf(decoded.text, static_cast<std::size_t>(std::max<std::ptrdiff_t>(result.offset, 0)));
        return FailParse(result.description(), position.line, position.column);
    }
    for (pugi::xml_node child : m_pImpl->document.children()) {
        if (child.type() == pugi::node_doctype) {
            const TextPosition position = PositionOf(
                decoded.text, static_cast<std::size_t>(std::max<std::ptrdiff_t>(child.offset_debug(), 0)));
            return FailParse("A DTD is not allowed", position.line, position.column);
        }
    }
    m_bLoaded = true;
    return true;
}

CXMLNode CXMLDocument::DocumentNode() const {
    return FromPugi(m_pImpl->document);
}

std::vector<CXMLNode> CXMLDocument::SelectNodes(const CXMLNode& start, std::string_view pattern) const {
    std::vector<CXMLNode> nodes;
    const pugi::xml_node from = ToPugi(start);
    if (!from) {
        return nodes;
    }
    const XmlNodePattern wanted(pattern);
    const auto collect = [&nodes, &wanted](pugi::xml_node node) {
        if (node.type() == pugi::node_element && wanted.Matches(node.name())) {
            nodes.push_back(FromPugi(node));
        }
    };
    if (wanted.scope == XmlNodePattern::Scope::kDocument) {
        ForEachDescendant(from.root(), collect);
    } else if (wanted.scope == XmlNodePattern::Scope::kChildren) {
        for (pugi::xml_node child : from.children()) {
            collect(child);
        }
    }
    return nodes;
}

bool CXMLDocument::GetNodeName(const CXMLNode& node, std::string& name) const {
    name.clear();
    if (!node) {
        return false;
    }
    name = CutUtf8Characters(ToPugi(node).name(), kMaxFieldCharacters);
    return true;
}

std::optional<std::string> CXMLDocument::GetNodeTextCopy(const CXMLNode& node) const {
    if (!node) {
        return std::nullopt;
    }
    return TextContent(ToPugi(node));
}

CXMLNode CXMLDocument::AddElement(const CXMLNode& parent, std::string_view name, std::string_view text) {
    pugi::xml_node parentNode = ToPugi(parent);
    if (!parentNode || !IsXmlName(name)) {
        return {};
    }
    pugi::xml_node element = parentNode.append_child(std::string(name).c_str());
    if (!element) {
        return {};
    }
    const std::string writable = XmlWritableText(text);
    element.append_child(pugi::node_pcdata).set_value(writable.data(), writable.size());
    return FromPugi(element);
}

bool CXMLDocument::SetAttribute(const CXMLNode& element, std::string_view name, std::string_view value) {
    pugi::xml_node node = ToPugi(element);
    if (node.type() != pugi::node_element || !IsXmlName(name)) {
        return false;
    }
    const std::string attributeName(name);
    pugi::xml_attribute attribute = node.attribute(attributeName.c_str());
    if (!attribute) {
        attribute = node.append_attribute(attributeName.c_str());
    }
    const std::string writable = XmlWritableText(value);
    return attribute.set_value(writable.data(), writable.size());
}

CXMLNode CXMLDocument::AddProcessingInstruction(const CXMLNode& parent, std::string_view target,
                                                std::string_view data) {
    pugi::xml_node parentNode = ToPugi(parent);
    if (!parentNode || !IsXmlName(target)) {
        return {};
    }
    pugi::xml_node instruction = parentNode.append_child(pugi::node_pi);
    if (!instruction) {
        return {};
    }
    instruction.set_name(std::string(target).c_str());
    const std::string writable = XmlWritableText(data);
    instruction.set_value(writable.data(), writable.size());
    return FromPugi(instruction);
}

std::string CXMLDocument::GetXml() const {
    StringWriter writer;
    // The callers write their own declaration as a processing instruction.
    m_pImpl->document.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return std::move(writer.text);
}
