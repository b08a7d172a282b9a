#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "xml/xml_document.h"

// A SOAP 1.1 request: the envelope with the service's namespaces, the body and the operation
// element, to which the caller adds its parameters with AddElement.
struct SoapRequest {
    std::unique_ptr<CXMLDocument> document;
    CXMLNode operation;
};

// The service's namespace; its types live below it.
inline constexpr char kSupportNamespace[] = "http://www.lumikarta.de/support";

// operationName without prefix, e.g. "sendSupportCall"; the element is "tns:" + operationName.
SoapRequest CreateSoapRequest(std::string_view operationName);

struct SoapReply {
    enum class Outcome {
        Answer,
        // Connection, TLS or time-out failure, a status other than 200, or the reply could not be
        // put into a temporary file.
        NoAnswer,
        // The reply is not well-formed XML.
        UnreadableAnswer,
    };
    Outcome outcome = Outcome::NoAnswer;
    // The loaded reply, for Answer.
    std::unique_ptr<CXMLDocument> document;
};

// One POST of the request to the support web server's objectPath (relative, no leading slash)
// with the SOAPAction value; the reply passes through a temporary file named from tempPrefix, which
// is gone when this returns.
SoapReply PostSoapRequest(const CXMLDocument& request, std::string_view objectPath,
                          std::string_view soapAction, std::string_view tempPrefix);
