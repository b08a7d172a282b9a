#include "support/soap_request.h"

#include <cstdint>
#include <filesystem>

#include "platform/debug_trace.h"
#include "platform/http_transport.h"
#include "platform/temp_file.h"
#include "platform/web_addresses.h"

namespace {

constexpr char kSoapEnvelopeNamespace[] = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr char kSoapEncodingNamespace[] = "http://schemas.xmlsoap.org/soap/encoding/";
// Replies are a result code and a line of text; anything near this size is not the service's.
constexpr std::uint64_t kMaxReplyBytes = 1024 * 1024;

// Collects the reply of a 200 answer only; any other status is no answer and its body unread.
class ReplyCollector final : public platform::HttpReceiver {
public:
    void OnResponseStart(long status, int64_t) override { m_status = status; }
    bool OnBody(const char* data, std::size_t size) override {
        if (m_status != 200) {
            return false;
        }
        m_reply.append(data, size);
        return true;
    }

    long Status() const { return m_status; }
    const std::string& Reply() const { return m_reply; }

private:
    long m_status = 0;
    std::string m_reply;
};

void Trace(std::string_view label, std::string_view text) {
    if (platform::DebugTraceEnabled()) {
        platform::DebugTrace(std::string(label) + "\r\n" + std::string(text) + "\r\n");
    }
}

}  // namespace

SoapRequest CreateSoapRequest(std::string_view operationName) {
    SoapRequest request{std::make_unique<CXMLDocument>(), {}};
    CXMLDocument& document = *request.document;
    const CXMLNode top = document.DocumentNode();
    document.AddProcessingInstruction(top, "xml", "version=\"1.0\" encoding=\"utf-8\"");
    const CXMLNode envelope = document.AddElement(top, "soap:Envelope", "");
    document.SetAttribute(envelope, "xmlns:soap", kSoapEnvelopeNamespace);
    document.SetAttribute(envelope, "xmlns:soapenc", kSoapEncodingNamespace);
    document.SetAttribute(envelope, "xmlns:tns", kSupportNamespace);
    document.SetAttribute(envelope, "xmlns:types", std::string(kSupportNamespace) + "/encodedTypes");
    document.SetAttribute(envelope, "xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
    document.SetAttribute(envelope, "xmlns:xsd", "http://www.w3.org/2001/XMLSchema");
    const CXMLNode body = document.AddElement(envelope, "soap:Body", "");
    document.SetAttribute(body, "soap:encodingStyle", kSoapEncodingNamespace);
    request.operation = document.AddElement(body, "tns:" + std::string(operationName), "");
    return request;
}

SoapReply PostSoapRequest(const CXMLDocument& request, std::string_view objectPath,
                          std::string_view soapAction, std::string_view tempPrefix) {
    platform::HttpRequest post;
    post.method = "POST";
    post.url = SupportServerUrl() + "/" + std::string(objectPath);
    post.noCache = true;
    post.followRedirects = false;
    post.maxBodyBytes = kMaxReplyBytes;
    post.limitTotalTime = true;
    post.body = request.GetXml();
    post.headers = {
        "Content-Type: text/xml; charset=utf-8",
        "Content-Length:" + std::to_string(post.body.size()),
        "SOAPAction: \"" + std::string(soapAction) + "\"",
    };
    Trace("", post.body);
    Trace("CString: ", post.body);

    ReplyCollector collector;
    const platform::HttpResult result = platform::CreateHttpTransport()->Perform(post, collector);
    if (result.outcome != platform::HttpResult::Outcome::Completed || collector.Status() != 200) {
        Trace("No answer: " +
                  (result.error.empty() ? "HTTP " + std::to_string(collector.Status()) : result.error),
              "");
        return {};
    }
    Trace("Reply:", collector.Reply());

    const std::optional<std::filesystem::path> file = platform::WriteTempFile(tempPrefix, collector.Reply());
    if (!file) {
        return {};
    }
    auto reply = std::make_unique<CXMLDocument>();
    const bool loaded = reply->Load(file->string());
    std::error_code ignored;
    std::filesystem::remove(*file, ignored);
    if (!loaded) {
        return {SoapReply::Outcome::UnreadableAnswer, nullptr};
    }
    return {SoapReply::Outcome::Answer, std::move(reply)};
}
