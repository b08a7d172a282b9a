#include "support/support_call.h"

#include <span>

#include "support/soap_request.h"
#include "text/leading_integer.h"

namespace {

struct Field {
    const char* name;
    const std::string SupportRequest::*value;
};

constexpr Field kHardware[] = {
    {"Graphic", &SupportRequest::graphic},
    {"GraphicDriverVersion", &SupportRequest::graphicDriverVersion},
    {"OperatingSystem", &SupportRequest::operatingSystem},
    {"Printer", &SupportRequest::printer},
    {"PDA", &SupportRequest::pda},
    {"CPU", &SupportRequest::cpu},
    {"RAM", &SupportRequest::ram},
    {"KettlerDevice", &SupportRequest::kettlerDevice},
    {"KettlerDeviceID", &SupportRequest::kettlerDeviceId},
};

constexpr Field kCustomer[] = {
    {"Salutation", &SupportRequest::salutation},
    {"Firstname", &SupportRequest::firstName},
    {"Surname", &SupportRequest::surname},
    {"Company", &SupportRequest::company},
    {"Street", &SupportRequest::street},
    {"ZipCode", &SupportRequest::zipCode},
    {"City", &SupportRequest::city},
    {"Country", &SupportRequest::country},
    {"EMail", &SupportRequest::email},
    {"Telephone", &SupportRequest::telephone},
};

void AddFields(CXMLDocument& document, const CXMLNode& parent, const SupportRequest& request,
               std::span<const Field> fields) {
    for (const Field& field : fields) {
        document.AddElement(parent, field.name, request.*field.value);
    }
}

}  // namespace

void AddSupportCallParameters(CXMLDocument& document, const CXMLNode& operation,
                              const SupportRequest& request, const std::string& systemReport) {
    const CXMLNode param = document.AddElement(operation, "sendSupportCallParam", "");
    document.AddElement(param, "ServiceVersion", "1");
    document.AddElement(param, "ServiceLanguage", request.language == 0 ? "de" : "en");
    const CXMLNode call = document.AddElement(param, "SupportCall", "");
    document.AddElement(call, "Product", request.product);
    document.AddElement(call, "Productversion", request.productVersion);
    document.AddElement(call, "Subject", request.subject);
    document.AddElement(call, "Description", request.description + systemReport);
    AddFields(document, document.AddElement(call, "Hardware", ""), request, kHardware);
    AddFields(document, document.AddElement(call, "Customer", ""), request, kCustomer);
}

SupportReply EvaluateSupportReply(const CXMLDocument& reply) {
    SupportReply result;
    const CXMLNode returned = reply.SelectFirstNode(reply.Root(), "//return");
    for (const CXMLNode& child : reply.SelectNodes(returned, "*")) {
        std::string name;
        reply.GetNodeName(child, name);
        std::string text;
        if (name == "resultCode") {
            reply.GetNodeText(child, text);
            result.resultCode = LeadingInteger(text);
        } else if (name == "resultString") {
            reply.GetNodeText(child, result.resultString);
        }
    }
    return result;
}

SupportCallOutcome PostSupportCall(const SupportRequest& request, const std::string& systemReport) {
    const SoapRequest soap = CreateSoapRequest(kSupportCallAction);
    AddSupportCallParameters(*soap.document, soap.operation, request, systemReport);
    const SoapReply reply =
        PostSoapRequest(*soap.document, kSupportCallObjectPath, kSupportCallAction, kSupportCallTempPrefix);
    if (reply.outcome != SoapReply::Outcome::Answer) {
        return {};
    }
    const SupportReply evaluated = EvaluateSupportReply(*reply.document);
    const int code = evaluated.resultCode.value_or(kMissingResultCode);
    return {code == 1 ? SupportCallOutcome::Kind::Succeeded : SupportCallOutcome::Kind::Refused, code,
            evaluated.resultString};
}

std::string FormatRefusal(std::string_view format, int resultCode, std::string_view resultString) {
    std::string text;
    bool codeDone = false;
    bool stringDone = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const std::string_view rest = format.substr(i);
        if (!codeDone && (rest.starts_with("%i") || rest.starts_with("%d"))) {
            text += std::to_string(resultCode);
            codeDone = true;
            ++i;
        } else if (codeDone && !stringDone && rest.starts_with("%s")) {
            text += resultString;
            stringDone = true;
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}
