#include <windows.h>

#include <msxml2.h>
#include <oleauto.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/com_support_windows.h"
#include "text/trim.h"
#include "text/utf8.h"
#include "text/utf8_path.h"
#include "xml/xml_characters.h"
#include "xml/xml_document.h"
#include "xml/xml_name.h"
#include "xml/xml_node_pattern.h"

namespace {

using platform::Bstr;
using platform::ComPtr;
using platform::Variant;

// The version-independent class that MSXML 3.0 serves; mingw-w64 declares no linkable symbol for it
// (its header even maps the name to another class), nor for the IID of IXMLDOMDocument2.
constexpr GUID kClsidDomDocument = {
    0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};
constexpr GUID kIidDomDocument2 = {
    0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

IXMLDOMNode* ToDom(const CXMLNode& node) {
    return static_cast<IXMLDOMNode*>(node.Handle());
}

DOMNodeType TypeOf(IXMLDOMNode* node) {
    DOMNodeType type = NODE_INVALID;
    if (FAILED(node->get_nodeType(&type))) {
        return NODE_INVALID;
    }
    return type;
}

ComPtr<IXMLDOMNode> FirstChild(IXMLDOMNode* node) {
    ComPtr<IXMLDOMNode> child;
    if (node->get_firstChild(child.Put()) != S_OK) {
        child.Reset();
    }
    return child;
}

ComPtr<IXMLDOMNode> NextSibling(IXMLDOMNode* node) {
    ComPtr<IXMLDOMNode> sibling;
    if (node->get_nextSibling(sibling.Put()) != S_OK) {
        sibling.Reset();
    }
    return sibling;
}

ComPtr<IXMLDOMNode> Parent(IXMLDOMNode* node) {
    ComPtr<IXMLDOMNode> parent;
    if (node->get_parentNode(parent.Put()) != S_OK) {
        parent.Reset();
    }
    return parent;
}

std::string NodeName(IXMLDOMNode* node) {
    Bstr name;
    if (FAILED(node->get_nodeName(name.Put()))) {
        return {};
    }
    return name.Utf8();
}

std::string NodeValue(IXMLDOMNode* node) {
    Variant value;
    if (FAILED(node->get_nodeValue(value.Put()))) {
        return {};
    }
    return value.Utf8();
}

// Visits the descendants of `start` in document order, each with whether it has children, and each
// node with children once more when its children are done. Without recursion: the parser accepts
// nesting far deeper than the stack would. Wrappers of one node need not be the same object, so the
// way back up is counted, not compared.
template <typename Enter, typename Leave>
void WalkDescendants(IXMLDOMNode* start, Enter enter, Leave leave) {
    ComPtr<IXMLDOMNode> node = FirstChild(start);
    int depth = 1;
    while (node) {
        ComPtr<IXMLDOMNode> child = FirstChild(node.Get());
        enter(node.Get(), static_cast<bool>(child));
        if (child) {
            node = std::move(child);
            ++depth;
            continue;
        }
        ComPtr<IXMLDOMNode> sibling;
        while (!(sibling = NextSibling(node.Get()))) {
            node = Parent(node.Get());
            if (--depth == 0 || !node) {
                return;
            }
            leave(node.Get());
        }
        node = std::move(sibling);
    }
}

template <typename Visit>
void ForEachDescendant(IXMLDOMNode* start, Visit visit) {
    WalkDescendants(
        start, [&visit](IXMLDOMNode* node, bool) { visit(node); }, [](IXMLDOMNode*) {});
}

std::string TextContent(IXMLDOMNode* node) {
    Bstr text;
    if (FAILED(node->get_text(text.Put()))) {
        return {};
    }
    return text.Utf8();
}

// Markup characters, and the tabs and line breaks of attribute values, as character references, the
// way the other platform's serialiser writes them, so both send the same bytes. No other control
// character gets into a document.
void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '&') {
            out += "&amp;";
        } else if (ch == '<') {
            out += "&lt;";
        } else if (ch == '>' && !attribute) {
            out += "&gt;";
        } else if (ch == '"' && attribute) {
            out += "&quot;";
        } else if (c < 0x20 && (attribute || (ch != '\t' && ch != '\n' && ch != '\r'))) {
            out += "&#";
            out += static_cast<char>('0' + c / 10);
            out += static_cast<char>('0' + c % 10);
            out += ';';
        } else {
            out += ch;
        }
    }
}

void AppendStartTag(std::string& out, IXMLDOMNode* element, bool hasChildren) {
    out += '<';
    out += NodeName(element);
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    long count = 0;
    if (element->get_attributes(attributes.Put()) == S_OK && attributes &&
        SUCCEEDED(attributes->get_length(&count))) {
        for (long i = 0; i < count; ++i) {
            ComPtr<IXMLDOMNode> attribute;
            if (attributes->get_item(i, attribute.Put()) != S_OK || !attribute) {
                continue;
            }
            const std::string name = NodeName(attribute.Get());
            const std::string value = NodeValue(attribute.Get());
            // Some MSXML implementations list an empty declaration for the prefix of an element
            // made without a namespace; XML 1.0 has no such thing, and the program never writes one.
            if (value.empty() && name.starts_with("xmlns:")) {
                continue;
            }
            out += ' ';
            out += name;
            out += "=\"";
            AppendEscaped(out, value, true);
            out += '"';
        }
    }
    out += hasChildren ? ">" : "/>";
}

void AppendCData(std::string& out, std::string_view text) {
    out += "<![CDATA[";
    // "]]>" would end the section early: it is split over two sections.
    for (std::size_t at; (at = text.find("]]>")) != std::string_view::npos; text.remove_prefix(at + 2)) {
        out += text.substr(0, at + 2);
        out += "]]><![CDATA[";
    }
    out += text;
    out += "]]>";
}

std::string ReadErrorText(IXMLDOMParseError* error) {
    Bstr reason;
    if (error == nullptr || FAILED(error->get_reason(reason.Put()))) {
        return {};
    }
    // MSXML ends its reasons with a line break.
    return std::string(TrimWhiteSpace(reason.Utf8()));
}

// The whole file; false when it cannot be read, also when the name is a folder.
bool ReadFileBytes(const std::string& utf8Path, std::string& bytes) {
    const std::filesystem::path path = PathFromUtf8(utf8Path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

}  // namespace

struct CXMLDocument::Impl {
    Impl() {
        if (FAILED(CoCreateInstance(kClsidDomDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                    reinterpret_cast<void**>(document.Put())))) {
            document.Reset();
            return;
        }
        document->put_async(VARIANT_FALSE);
        // preserveWhiteSpace stays off, as the platform has it: texts read trimmed, and white space
        // between elements is no text of its own.
        // No DTD is accepted, so no entity can be declared that would read another file or URL,
        // or expand beyond bounds; nothing is fetched or validated on the parser's own account.
        document->put_validateOnParse(VARIANT_FALSE);
        document->put_resolveExternals(VARIANT_FALSE);
        if (const ComPtr<IXMLDOMDocument2> document2 = document.As<IXMLDOMDocument2>(kIidDomDocument2)) {
            VARIANT prohibit;
            VariantInit(&prohibit);
            V_VT(&prohibit) = VT_BOOL;
            V_BOOL(&prohibit) = VARIANT_TRUE;
            const Bstr name("ProhibitDTD");
            document2->setProperty(name.Get(), prohibit);
        }
        documentNode = document.As<IXMLDOMNode>(IID_IXMLDOMNode);
        if (!documentNode) {
            document.Reset();
        }
    }

    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    ~Impl() {
        ReleaseNodes();
        documentNode.Reset();
        document.Reset();
    }

    // Hands out a node that stays valid as long as the document: the document keeps one reference
    // to each node it has handed out.
    CXMLNode Keep(ComPtr<IXMLDOMNode> node) {
        if (!node) {
            return {};
        }
        if (node.Get() == documentNode.Get()) {
            return CXMLNode(documentNode.Get());
        }
        IXMLDOMNode* raw = node.Get();
        if (handedOut.insert(raw).second) {
            node.Detach();
        }
        return CXMLNode(raw);
    }

    void ReleaseNodes() {
        for (IXMLDOMNode* node : handedOut) {
            node->Release();
        }
        handedOut.clear();
    }

    // Empties the document; its node stays the same object.
    void Clear() {
        ReleaseNodes();
        if (!documentNode) {
            return;
        }
        while (ComPtr<IXMLDOMNode> child = FirstChild(documentNode.Get())) {
            ComPtr<IXMLDOMNode> removed;
            if (FAILED(documentNode->removeChild(child.Get(), removed.Put()))) {
                // A node that will not go: a text that is no document empties the whole one.
                const Bstr nothing("");
                VARIANT_BOOL ignored = VARIANT_FALSE;
                document->loadXML(nothing.Get(), &ignored);
                break;
            }
        }
    }

    bool HasDocumentType() const {
        for (ComPtr<IXMLDOMNode> child = FirstChild(documentNode.Get()); child;
             child = NextSibling(child.Get())) {
            if (TypeOf(child.Get()) == NODE_DOCUMENT_TYPE) {
                return true;
            }
        }
        return false;
    }

    // The other platform's parser leaves out comments, processing instructions and the XML
    // declaration; without them here too, a document reads and writes the same on both.
    void DropCommentsAndInstructions() {
        std::vector<ComPtr<IXMLDOMNode>> dropped;
        ForEachDescendant(documentNode.Get(), [&dropped](IXMLDOMNode* node) {
            const DOMNodeType type = TypeOf(node);
            if (type == NODE_COMMENT || type == NODE_PROCESSING_INSTRUCTION) {
                dropped.push_back(ComPtr<IXMLDOMNode>::Retain(node));
            }
        });
        for (const ComPtr<IXMLDOMNode>& node : dropped) {
            if (const ComPtr<IXMLDOMNode> parent = Parent(node.Get())) {
                ComPtr<IXMLDOMNode> removed;
                parent->removeChild(node.Get(), removed.Put());
            }
        }
    }

    // The parser is a COM object. Start-up initialises COM on the program's thread; a thread that
    // has not (a test, a tool) gets it for the life of this document. Declared first, so it is left
    // after the parser's references are released.
    platform::ComApartment apartment;
    ComPtr<IXMLDOMDocument> document;
    ComPtr<IXMLDOMNode> documentNode;
    std::unordered_set<IXMLDOMNode*> handedOut;
};

CXMLDocument::CXMLDocument() : m_pImpl(std::make_unique<Impl>()) {
    m_bValid = static_cast<bool>(m_pImpl->document);
}

CXMLDocument::~CXMLDocument() = default;

void CXMLDocument::ClearDocument() {
    m_pImpl->Clear();
}

bool CXMLDocument::LoadFile(const std::string& path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        return FailRead("File not found or not readable");
    }
    return ParseLoaded(bytes);
}

bool CXMLDocument::ParseLoaded(std::string_view bytes) {
    if (bytes.size() > MAXDWORD) {
        return FailRead("Document too large");
    }
    // Bytes rather than a string, so that the parser takes the encoding from the byte-order mark
    // or the declaration as it does for a file.
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (array == nullptr) {
        return FailRead("Out of memory");
    }
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) {
        SafeArrayDestroy(array);
        return FailRead("Out of memory");
    }
    if (!bytes.empty()) {
        std::memcpy(data, bytes.data(), bytes.size());
    }
    SafeArrayUnaccessData(array);
    Variant source;
    V_VT(source.Put()) = VT_ARRAY | VT_UI1;
    V_ARRAY(&source.Get()) = array;

    VARIANT_BOOL success = VARIANT_FALSE;
    const HRESULT hr = m_pImpl->document->load(source.Get(), &success);
    ComPtr<IXMLDOMParseError> error;
    long code = 0;
    if (FAILED(m_pImpl->document->get_parseError(error.Put())) || !error ||
        FAILED(error->get_errorCode(&code))) {
        error.Reset();
    }
    std::string reason;
    if (SUCCEEDED(hr) && success == VARIANT_TRUE && code == 0) {
        ComPtr<IXMLDOMElement> documentElement;
        if (m_pImpl->HasDocumentType()) {
            // Not every MSXML implementation honours ProhibitDTD; the answer is the same everywhere.
            reason = "A DTD is not allowed";
        } else if (m_pImpl->document->get_documentElement(documentElement.Put()) != S_OK ||
                   !documentElement) {
            reason = "No document element found";
        } else {
            m_pImpl->DropCommentsAndInstructions();
            m_bLoaded = true;
            return true;
        }
    } else {
        reason = ReadErrorText(error.Get());
        if (reason.empty()) {
            reason = "XML parser error " + std::to_string(code != 0 ? code : hr);
        }
    }
    // Where the parser tells no position, 0 stands for unknown.
    long line = 0;
    long position = 0;
    if (!error || FAILED(error->get_line(&line)) || FAILED(error->get_linepos(&position))) {
        line = 0;
        position = 0;
    }
    return FailParse(reason, static_cast<int>(line), static_cast<int>(position));
}

CXMLNode CXMLDocument::DocumentNode() const {
    return CXMLNode(m_pImpl->documentNode.Get());
}

std::vector<CXMLNode> CXMLDocument::SelectNodes(const CXMLNode& start, std::string_view pattern) const {
    // The patterns are matched here rather than by the parser's selectNodes: its XPath would match
    // namespace URIs and reject undeclared prefixes, where the names are to match as written.
    std::vector<CXMLNode> nodes;
    IXMLDOMNode* from = ToDom(start);
    if (from == nullptr || !m_pImpl->documentNode) {
        return nodes;
    }
    const XmlNodePattern wanted(pattern);
    const auto collect = [&](IXMLDOMNode* node) {
        if (TypeOf(node) == NODE_ELEMENT && wanted.Matches(NodeName(node))) {
            nodes.push_back(m_pImpl->Keep(ComPtr<IXMLDOMNode>::Retain(node)));
        }
    };
    if (wanted.scope == XmlNodePattern::Scope::kDocument) {
        ForEachDescendant(m_pImpl->documentNode.Get(), collect);
    } else if (wanted.scope == XmlNodePattern::Scope::kChildren) {
        for (ComPtr<IXMLDOMNode> child = FirstChild(from); child; child = NextSibling(child.Get())) {
            collect(child.Get());
        }
    }
    return nodes;
}

bool CXMLDocument::GetNodeName(const CXMLNode& node, std::string& name) const {
    name.clear();
    if (!node) {
        return false;
    }
    const DOMNodeType type = TypeOf(ToDom(node));
    // Only elements and instructions have names of their own, not "#text" or "#document".
    if (type == NODE_ELEMENT || type == NODE_PROCESSING_INSTRUCTION || type == NODE_ATTRIBUTE) {
        name = CutUtf8Characters(NodeName(ToDom(node)), kMaxFieldCharacters);
    }
    return true;
}

std::optional<std::string> CXMLDocument::GetNodeTextCopy(const CXMLNode& node) const {
    if (!node) {
        return std::nullopt;
    }
    return TextContent(ToDom(node));
}

CXMLNode CXMLDocument::AddElement(const CXMLNode& parent, std::string_view name, std::string_view text) {
    IXMLDOMNode* parentNode = ToDom(parent);
    if (parentNode == nullptr || !m_pImpl->document || !IsXmlName(name)) {
        return {};
    }
    const Bstr elementName(name);
    const Bstr elementText(XmlWritableText(text));
    ComPtr<IXMLDOMElement> element;
    ComPtr<IXMLDOMText> textNode;
    if (m_pImpl->document->createElement(elementName.Get(), element.Put()) != S_OK ||
        m_pImpl->document->createTextNode(elementText.Get(), textNode.Put()) != S_OK) {
        return {};
    }
    ComPtr<IXMLDOMNode> appendedText;
    ComPtr<IXMLDOMNode> appended;
    if (FAILED(element->appendChild(textNode.Get(), appendedText.Put())) ||
        FAILED(parentNode->appendChild(element.Get(), appended.Put())) || !appended) {
        return {};
    }
    return m_pImpl->Keep(std::move(appended));
}

bool CXMLDocument::SetAttribute(const CXMLNode& element, std::string_view name, std::string_view value) {
    IXMLDOMNode* node = ToDom(element);
    if (node == nullptr || !m_pImpl->document || TypeOf(node) != NODE_ELEMENT || !IsXmlName(name)) {
        return false;
    }
    ComPtr<IXMLDOMElement> target;
    if (FAILED(node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(target.Put()))) || !target) {
        return false;
    }
    const Bstr attributeName(name);
    Variant attributeValue;
    V_VT(attributeValue.Put()) = VT_BSTR;
    V_BSTR(&attributeValue.Get()) = Bstr(XmlWritableText(value)).Detach();
    // An attribute of the same name keeps its place and takes the new value.
    ComPtr<IXMLDOMAttribute> existing;
    if (target->getAttributeNode(attributeName.Get(), existing.Put()) == S_OK && existing) {
        return SUCCEEDED(existing->put_value(attributeValue.Get()));
    }
    ComPtr<IXMLDOMAttribute> attribute;
    if (m_pImpl->document->createAttribute(attributeName.Get(), attribute.Put()) != S_OK ||
        FAILED(attribute->put_value(attributeValue.Get()))) {
        return false;
    }
    ComPtr<IXMLDOMAttribute> replaced;
    return SUCCEEDED(target->setAttributeNode(attribute.Get(), replaced.Put()));
}

CXMLNode CXMLDocument::AddProcessingInstruction(const CXMLNode& parent, std::string_view target,
                                                std::string_view data) {
    IXMLDOMNode* parentNode = ToDom(parent);
    if (parentNode == nullptr || !m_pImpl->document || !IsXmlName(target)) {
        return {};
    }
    const Bstr instructionTarget(target);
    const Bstr instructionData(XmlWritableText(data));
    ComPtr<IXMLDOMProcessingInstruction> instruction;
    if (m_pImpl->document->createProcessingInstruction(instructionTarget.Get(), instructionData.Get(),
                                                       instruction.Put()) != S_OK) {
        return {};
    }
    ComPtr<IXMLDOMNode> appended;
    if (FAILED(parentNode->appendChild(instruction.Get(), appended.Put())) || !appended) {
        return {};
    }
    return m_pImpl->Keep(std::move(appended));
}

std::string CXMLDocument::GetXml() const {
    // Written here rather than taken from the parser's xml property, which drops the declaration's
    // encoding and adds line ends: the service gets the same bytes from every platform.
    std::string xml;
    if (!m_pImpl->documentNode) {
        return xml;
    }
    WalkDescendants(
        m_pImpl->documentNode.Get(),
        [&xml](IXMLDOMNode* node, bool hasChildren) {
            switch (TypeOf(node)) {
                case NODE_ELEMENT:
                    AppendStartTag(xml, node, hasChildren);
                    break;
                case NODE_TEXT:
                    AppendEscaped(xml, NodeValue(node), false);
                    break;
                case NODE_CDATA_SECTION:
                    AppendCData(xml, NodeValue(node));
                    break;
                case NODE_PROCESSING_INSTRUCTION: {
                    const std::string data = NodeValue(node);
                    xml += "<?" + NodeName(node) + (data.empty() ? "" : " " + data) + "?>";
                    break;
                }
                default:
                    break;
            }
        },
        [&xml](IXMLDOMNode* node) {
            if (TypeOf(node) == NODE_ELEMENT) {
                xml += "</" + NodeName(node) + ">";
            }
        });
    return xml;
}
