#include "support/sample_support_request.h"

#include <utility>

#include "support/soap_request.h"

SupportRequest SampleSupportRequest(std::string description) {
    SupportRequest request;
    request.product = "TopoKarte Deutschland";
    request.productVersion = "3.0.0";
    request.subject = "Drucken";
    request.description = std::move(description);
    request.firstName = "Jürgen";
    request.surname = "Weiß";
    request.email = "j.weiss@example.org";
    return request;
}

std::string SupportCallEnvelope(const SupportRequest& request, const std::string& systemReport) {
    const SoapRequest soap = CreateSoapRequest(kSupportCallAction);
    AddSupportCallParameters(*soap.document, soap.operation, request, systemReport);
    return soap.document->GetXml();
}

std::string SupportCallRequestBytes(int port, const std::string& body, std::string_view lengthSeparator) {
    return "POST /" + std::string(kSupportCallObjectPath) + " HTTP/1.1\r\n" +
           "Host: 127.0.0.1:" + std::to_string(port) + "\r\n" +
           "User-Agent: LumikartaSystemInfo\r\n"
           "Content-Type: text/xml; charset=utf-8\r\n"
           "Content-Length:" +
           std::string(lengthSeparator) + std::to_string(body.size()) + "\r\n" + "SOAPAction: \"" +
           kSupportCallAction + "\"\r\n" +
           "Cache-Control: no-cache\r\n"
           "Pragma: no-cache\r\n"
           "Connection: Keep-Alive\r\n"
           "\r\n" +
           body;
}
