#include "xml/xml_document.h"

#include <cstdint>

#include "platform/debug_trace.h"
#include "platform/http_transport.h"
#include "text/utf8.h"

namespace {

// A document loaded from a URL (the update definition: some kilobytes for a family of products) is
// held whole in memory; a server that sends without end must not take all of it.
constexpr std::uint64_t kMaxUrlDocumentBytes = 16 * 1024 * 1024;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

void CXMLDocument::Reset() {
    ClearDocument();
    m_bLoaded = false;
    m_strPath.clear();
    m_strErrorReason.clear();
    m_nErrorLine = -1;
    m_nErrorLinePos = -1;
    m_nLoadResult = kLoadOk;
    m_root = CXMLNode();
}

bool CXMLDocument::Load(const std::string& fileOrUrl) {
    Reset();
    if (fileOrUrl.empty()) {
        return FailRead("No file name or URL given");
    }
    m_strPath = fileOrUrl;
    if (!m_bValid) {
        return FailRead("The XML parser is not available");
    }
    m_root = DocumentNode();

    // URLs go through the program's own transport rather than a parser's loader, which might
    // answer from the browser cache, take an error page for a document and report failures in its
    // own words: this way a status other than 2xx fails alike everywhere, and the parser itself
    // never opens a connection.
    if (StartsWithNoCase(fileOrUrl, "http://") || StartsWithNoCase(fileOrUrl, "https://")) {
        platform::HttpRequest request;
        request.url = fileOrUrl;
        request.maxBodyBytes = kMaxUrlDocumentBytes;
        request.limitTotalTime = true;
        std::string body;
        const auto transport = platform::CreateHttpTransport();
        const platform::HttpResult result = platform::HttpFetch(*transport, request, body);
        if (!result.IsSuccess()) {
            return FailRead(result.outcome == platform::HttpResult::Outcome::Completed
                                ? "HTTP status " + std::to_string(result.status)
                                : "Download failed: " + result.error);
        }
        return ParseLoaded(body);
    }
    return LoadFile(fileOrUrl);
}

bool CXMLDocument::LoadFromBuffer(std::string_view bytes) {
    Reset();
    if (!m_bValid) {
        return FailRead("The XML parser is not available");
    }
    m_root = DocumentNode();
    return ParseLoaded(bytes);
}

bool CXMLDocument::FailRead(std::string reason) {
    m_nLoadResult = kLoadReadFailed;
    m_strErrorReason = CutUtf8Characters(reason, kMaxFieldCharacters);
    platform::DebugTrace("XML not read: " + m_strPath + ": " + m_strErrorReason);
    return false;
}

bool CXMLDocument::FailParse(std::string_view reason, int line, int column) {
    // What was parsed before the error stays out of reach: a half document is no answer.
    ClearDocument();
    m_nLoadResult = kLoadParseFailed;
    m_strErrorReason = CutUtf8Characters(reason, kMaxFieldCharacters);
    m_nErrorLine = line;
    m_nErrorLinePos = column;
    platform::DebugTrace("XML not well-formed: " + m_strPath + " line " + std::to_string(m_nErrorLine) +
                         " position " + std::to_string(m_nErrorLinePos) + ": " + m_strErrorReason);
    return false;
}

CXMLNode CXMLDocument::SelectFirstNode(const CXMLNode& start, std::string_view pattern) const {
    const std::vector<CXMLNode> nodes = SelectNodes(start, pattern);
    return nodes.empty() ? CXMLNode() : nodes.front();
}

bool CXMLDocument::GetNodeText(const CXMLNode& node, std::string& text) const {
    text = CutUtf8Characters(GetNodeTextCopy(node).value_or(std::string()), kMaxFieldCharacters);
    return static_cast<bool>(node);
}
