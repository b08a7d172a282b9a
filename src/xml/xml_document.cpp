#include "xml/xml_document.h"

#include <chrono>
#include <cstdint>

#include "platform/debug_trace.h"
#include "platform/http_transport.h"
#include "platform/regular_file.h"
#include "platform/signature_check.h"
#include "text/utf8.h"

namespace {

// A document loaded from a URL (the update definition: some kilobytes for a family of products) is
// held whole in memory; a server that sends without end must not take all of it.
constexpr std::uint64_t kMaxUrlDocumentBytes = 16 * 1024 * 1024;
// One byte more than a signature text may have, so that a longer one is refused, not cut to size.
constexpr std::size_t kMaxSignatureBytes = platform::SignatureCheck::kMaxSignatureTextSize + 1;

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

bool IsUrl(std::string_view fileOrUrl) {
    return StartsWithNoCase(fileOrUrl, "http://") || StartsWithNoCase(fileOrUrl, "https://");
}

// URLs go through the program's own transport rather than a parser's loader, which might answer
// from the browser cache, take an error page for a document and report failures in its own words:
// this way a status other than 2xx fails alike everywhere, and the parser itself never opens a
// connection. What is held in memory is bounded in size and in time.
platform::HttpResult Fetch(platform::HttpTransport& transport, const std::string& url, std::uint64_t maxBytes,
                           std::optional<std::chrono::steady_clock::time_point> deadline, std::string& body) {
    platform::HttpRequest request;
    request.url = url;
    request.maxBodyBytes = maxBytes;
    request.limitTotalTime = true;
    request.deadline = deadline;
    return platform::HttpFetch(transport, request, body);
}

std::string FetchFailure(const platform::HttpResult& result) {
    return result.outcome == platform::HttpResult::Outcome::Completed
               ? "HTTP status " + std::to_string(result.status)
               : "Download failed: " + result.error;
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

bool CXMLDocument::BeginLoad(const std::string& fileOrUrl) {
    Reset();
    if (fileOrUrl.empty()) {
        return FailRead("No file name or URL given");
    }
    m_strPath = fileOrUrl;
    if (!m_bValid) {
        return FailRead("The XML parser is not available");
    }
    m_root = DocumentNode();
    return true;
}

bool CXMLDocument::Load(const std::string& fileOrUrl) {
    if (!BeginLoad(fileOrUrl)) {
        return false;
    }
    if (IsUrl(fileOrUrl)) {
        std::string body;
        const auto transport = platform::CreateHttpTransport();
        const platform::HttpResult result =
            Fetch(*transport, fileOrUrl, kMaxUrlDocumentBytes, std::nullopt, body);
        return result.IsSuccess() ? ParseLoaded(body) : FailRead(FetchFailure(result));
    }
    return LoadFile(fileOrUrl);
}

bool CXMLDocument::LoadSigned(const std::string& fileOrUrl, std::span<const std::string> trustedKeysPem) {
    if (!BeginLoad(fileOrUrl)) {
        return false;
    }
    const std::string signatureAddress = fileOrUrl + ".sig";
    std::string document;
    std::string signature;
    if (IsUrl(fileOrUrl)) {
        const auto deadline = std::chrono::steady_clock::now() +
                              std::chrono::seconds(platform::HttpRequest::DefaultHttpTimeouts().totalSeconds);
        const auto transport = platform::CreateHttpTransport();
        const platform::HttpResult result =
            Fetch(*transport, fileOrUrl, kMaxUrlDocumentBytes, deadline, document);
        if (!result.IsSuccess()) {
            return FailRead(FetchFailure(result));
        }
        const platform::HttpResult signatureResult =
            Fetch(*transport, signatureAddress, kMaxSignatureBytes, deadline, signature);
        if (!signatureResult.IsSuccess()) {
            return FailSignature("Signature: " + FetchFailure(signatureResult));
        }
    } else {
        std::optional<std::string> bytes = platform::ReadRegularFile(fileOrUrl, kMaxUrlDocumentBytes);
        if (!bytes) {
            return FailRead("File not found, not readable or too large");
        }
        document = std::move(*bytes);
        std::optional<std::string> signatureBytes =
            platform::ReadRegularFile(signatureAddress, kMaxSignatureBytes);
        if (!signatureBytes) {
            return FailSignature("Signature file not found, not readable or too large");
        }
        signature = std::move(*signatureBytes);
    }
    if (!platform::SignatureCheck::IsSignedByAny(document, signature, trustedKeysPem)) {
        return FailSignature("Not signed by a trusted key");
    }
    return ParseLoaded(document);
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

bool CXMLDocument::FailSignature(std::string reason) {
    m_nLoadResult = kLoadNotSigned;
    m_strErrorReason = CutUtf8Characters(reason, kMaxFieldCharacters);
    platform::DebugTrace("XML not signed: " + m_strPath + ": " + m_strErrorReason);
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
