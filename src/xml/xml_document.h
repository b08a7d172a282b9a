#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_node.h"

// The one class through which the program reads and writes XML: the SOAP request and reply, the FAQ
// cache file and the update definition. Texts in and out are UTF-8. A document with a DTD is not
// loaded at all, so no external entity is ever read.
class CXMLDocument {
public:
    // Reads of names and texts into the callers' fixed fields hold at most this many characters.
    static constexpr std::size_t kMaxFieldCharacters = 254;

    // What LoadResult() tells about the last load.
    enum LoadResultCode : int {
        kLoadOk = 0,
        kLoadReadFailed = 1,   // no name, or the file or URL could not be read
        kLoadParseFailed = 2,  // read, but not well-formed or without a document element
        kLoadNotSigned = 3,    // read, but no signature of a trusted key came with it (LoadSigned)
    };

    CXMLDocument();
    ~CXMLDocument();
    CXMLDocument(const CXMLDocument&) = delete;
    CXMLDocument& operator=(const CXMLDocument&) = delete;

    // Back to an empty, valid document.
    void Reset();

    // Loads a file, or an http/https URL; the encoding comes from the byte-order mark or the XML
    // declaration (UTF-8 without either). False when the name is empty, the file or URL cannot be
    // read (a status other than 2xx included), the encoding is unknown, the bytes are not of it, or
    // the text is not well-formed XML without a DTD.
    bool Load(const std::string& fileOrUrl);
    // Loads as Load does, but parses nothing unless the signature file beside it (`fileOrUrl` +
    // ".sig", fetched the same way within the same deadline, at most
    // SignatureCheck::kMaxSignatureTextSize bytes) is a signature of one of the trusted keys
    // (PEM) over the document's exact bytes. A file is read only when it is a regular file of at
    // most the size a URL's document may have.
    bool LoadSigned(const std::string& fileOrUrl, std::span<const std::string> trustedKeysPem);
    // Parses text held in memory, as Load does with the bytes of a file.
    bool LoadFromBuffer(std::string_view bytes);

    bool IsValid() const { return m_bValid; }
    bool IsLoaded() const { return m_bLoaded; }
    const std::string& Path() const { return m_strPath; }
    const std::string& ErrorReason() const { return m_strErrorReason; }
    int ErrorLine() const { return m_nErrorLine; }
    int ErrorLinePos() const { return m_nErrorLinePos; }
    int LoadResult() const { return m_nLoadResult; }

    // The loaded document as the start node of queries over all of it; none before Load.
    CXMLNode Root() const { return m_root; }
    // The document itself, the parent of its top-level nodes when building one.
    CXMLNode DocumentNode() const;

    // Patterns: "//name" (every element of that qualified name in the document, in document order),
    // "name" (child elements of that name) and "*" (all child elements). Names match case-sensitively,
    // prefix included. An empty list when the start node is none or the pattern is not understood.
    std::vector<CXMLNode> SelectNodes(const CXMLNode& start, std::string_view pattern) const;
    CXMLNode SelectFirstNode(const CXMLNode& start, std::string_view pattern) const;

    // Qualified name, or text of all descendants (as GetNodeTextCopy), cut to kMaxFieldCharacters
    // characters. False with an empty text when the node is none.
    bool GetNodeName(const CXMLNode& node, std::string& name) const;
    bool GetNodeText(const CXMLNode& node, std::string& text) const;
    // The whole text of all descendants as the platform's DOM gives it at its default settings:
    // trimmed, white space alone between elements one blank, CDATA whole. None when the node is none.
    std::optional<std::string> GetNodeTextCopy(const CXMLNode& node) const;

    // Appends an element holding one text node (also when the text is empty) as the last child of
    // `parent`, which may be the document node; none when the parent is none.
    CXMLNode AddElement(const CXMLNode& parent, std::string_view name, std::string_view text);
    // Sets the attribute, replacing one of the same name.
    bool SetAttribute(const CXMLNode& element, std::string_view name, std::string_view value);
    // Appends a processing instruction such as the XML declaration to `parent`.
    CXMLNode AddProcessingInstruction(const CXMLNode& parent, std::string_view target, std::string_view data);

    // The whole document as XML text in UTF-8.
    std::string GetXml() const;

private:
    struct Impl;

    // Each parser's own (xml_document_<parser>.cpp).
    void ClearDocument();
    bool LoadFile(const std::string& path);
    bool ParseLoaded(std::string_view bytes);

    // Resets and checks that there is a name and a parser; false (and failed) when not.
    bool BeginLoad(const std::string& fileOrUrl);
    bool FailRead(std::string reason);
    bool FailSignature(std::string reason);
    // Empties the document and keeps where the text stopped being well-formed.
    bool FailParse(std::string_view reason, int line, int column);

    bool m_bValid = false;
    bool m_bLoaded = false;
    std::string m_strPath;
    std::string m_strErrorReason;
    int m_nErrorLine = -1;
    int m_nErrorLinePos = -1;
    int m_nLoadResult = 0;
    std::unique_ptr<Impl> m_pImpl;
    CXMLNode m_root;
};
