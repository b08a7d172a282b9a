#include "helpers/sample_support_request.h"

#include <utility>

SupportRequest SampleSupportRequest(std::string description) {
    SupportRequest request;
    request.product = "TopoKarte Deutschland";
    request.productVersion = "3.0.0";
    request.subject = "Drucken";
    request.description = std::move(description);
    request.firstName = "Jürgen";
    request.surname = "Weiß";
    request.email = "j.weiss@example.org";
    request.salutation = "Frau";
    request.graphic = "Radeon";
    request.cpu = "AMD Ryzen";
    return request;
}

std::string SampleSupportCallEnvelope(std::string_view descriptionXml) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:soapenc=\"http://schemas.xmlsoap.org/soap/encoding/\" "
           "xmlns:tns=\"http://www.lumikarta.de/support\" "
           "xmlns:types=\"http://www.lumikarta.de/support/encodedTypes\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">"
           "<soap:Body soap:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><tns:sendSupportCall>"
           "<sendSupportCallParam><ServiceVersion>1</ServiceVersion><ServiceLanguage>de</ServiceLanguage>"
           "<SupportCall><Product>TopoKarte Deutschland</Product><Productversion>3.0.0</Productversion>"
           "<Subject>Drucken</Subject><Description>" +
           std::string(descriptionXml) +
           "</Description>"
           "<Hardware><Graphic>Radeon</Graphic><GraphicDriverVersion></GraphicDriverVersion>"
           "<OperatingSystem></OperatingSystem><Printer></Printer><PDA></PDA><CPU>AMD Ryzen</CPU><RAM></RAM>"
           "<KettlerDevice></KettlerDevice><KettlerDeviceID></KettlerDeviceID></Hardware>"
           "<Customer><Salutation>Frau</Salutation><Firstname>Jürgen</Firstname><Surname>Weiß</Surname>"
           "<Company></Company><Street></Street><ZipCode></ZipCode><City></City><Country></Country>"
           "<EMail>j.weiss@example.org</EMail><Telephone></Telephone></Customer></SupportCall>"
           "</sendSupportCallParam></tns:sendSupportCall></soap:Body></soap:Envelope>";
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
