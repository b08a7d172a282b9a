#include "lumikarta-service/support_endpoint.h"

#include <httplib.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "lumikarta-service/request_store.h"

namespace {

constexpr const char* kSoapNamespace = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr const char* kContentType = "text/xml; charset=utf-8";
constexpr const char* kSoapAction = "\"sendSupportCall\"";

// Found wrong in the request itself; the answer is a soap:Client fault.
class ClientFault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Language { German, English };

// One parameter below sendSupportCallParam: where it lies and whether the support staff need it.
struct Field {
    std::string_view container;
    std::string_view name;
    bool required;
};

// Every element the program sends, in its order; each is always there, perhaps empty.
constexpr Field kFields[] = {
    {"", "ServiceVersion", false},
    {"", "ServiceLanguage", false},
    {"SupportCall", "Product", true},
    {"SupportCall", "Productversion", true},
    {"SupportCall", "Subject", true},
    {"SupportCall", "Description", true},
    {"SupportCall/Hardware", "Graphic", false},
    {"SupportCall/Hardware", "GraphicDriverVersion", false},
    {"SupportCall/Hardware", "OperatingSystem", false},
    {"SupportCall/Hardware", "Printer", false},
    {"SupportCall/Hardware", "PDA", false},
    {"SupportCall/Hardware", "CPU", false},
    {"SupportCall/Hardware", "RAM", false},
    {"SupportCall/Hardware", "KettlerDevice", false},
    {"SupportCall/Hardware", "KettlerDeviceID", false},
    {"SupportCall/Customer", "Salutation", false},
    {"SupportCall/Customer", "Firstname", true},
    {"SupportCall/Customer", "Surname", true},
    {"SupportCall/Customer", "Company", false},
    {"SupportCall/Customer", "Street", false},
    {"SupportCall/Customer", "ZipCode", false},
    {"SupportCall/Customer", "City", false},
    {"SupportCall/Customer", "Country", false},
    {"SupportCall/Customer", "EMail", true},
    {"SupportCall/Customer", "Telephone", false},
};

struct Verdict {
    int code = 0;
    std::string text;
};

// Exactly one header of that name with exactly that value.
bool HasSingleHeader(const httplib::Request& request, const char* name, std::string_view value) {
    return request.get_header_value_count(name) == 1 && request.get_header_value(name) == value;
}

std::optional<std::size_t> DecimalLength(const std::string& text) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(std::stoull(text));
}

// The characters XML 1.0 allows, whether written as they are or as a reference.
bool IsXmlCodePoint(unsigned codePoint) {
    if (codePoint < 0x20) {
        return codePoint == '\t' || codePoint == '\n' || codePoint == '\r';
    }
    return (codePoint < 0xd800 || codePoint > 0xdfff) && codePoint != 0xfffe && codePoint != 0xffff &&
           codePoint <= 0x10ffff;
}

// Strict UTF-8 as the Content-Type promises: no overlong forms, no surrogates, nothing past
// U+10FFFF, and no control characters that XML 1.0 forbids. pugixml takes any bytes, and the store
// must not keep what no other XML reader could read back.
bool IsXmlUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            if (!IsXmlCodePoint(lead)) {
                return false;
            }
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned codePoint = 0;
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
            codePoint = lead & 0x1fu;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            codePoint = lead & 0x0fu;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            codePoint = lead & 0x07u;
        } else {
            return false;
        }
        if (bytes.size() - i < length) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xc0u) != 0x80u) {
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3fu);
        }
        const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
        if (overlong || !IsXmlCodePoint(codePoint)) {
            return false;
        }
        i += length;
    }
    return true;
}

// "&#1;" is as unreadable as the byte 1, but pugixml decodes any number it is given ("&#0;" even
// ends the text there). The program writes no comments or CDATA sections, where such a text would
// be no reference, so every one found is taken for a reference.
bool HasOnlyXmlCharacterReferences(std::string_view bytes) {
    for (std::size_t at = bytes.find("&#"); at != std::string_view::npos; at = bytes.find("&#", at + 2)) {
        const char* digits = bytes.data() + at + 2;
        const char* end = bytes.data() + bytes.size();
        int base = 10;
        if (digits != end && *digits == 'x') {
            base = 16;
            ++digits;
        }
        unsigned codePoint = 0;
        const std::from_chars_result read = std::from_chars(digits, end, codePoint, base);
        if (read.ptr == digits || read.ptr == end || *read.ptr != ';') {
            continue;  // not a reference; the parser says what it is
        }
        if (read.ec == std::errc::result_out_of_range || !IsXmlCodePoint(codePoint)) {
            return false;
        }
    }
    return true;
}

// The element children only: the white space between them is kept for the store, not looked at.
std::vector<pugi::xml_node> Elements(const pugi::xml_node& parent) {
    std::vector<pugi::xml_node> elements;
    for (const pugi::xml_node& child : parent.children()) {
        if (child.type() == pugi::node_element) {
            elements.push_back(child);
        }
    }
    return elements;
}

// A parameter's value: all its text, CDATA included. Markup inside a value is not the program's.
std::string LeafText(const pugi::xml_node& leaf) {
    std::string text;
    for (const pugi::xml_node& child : leaf.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            text += child.value();
        } else if (child.type() == pugi::node_element) {
            throw ClientFault(std::string("element ") + leaf.name() + " must hold text only");
        }
    }
    return text;
}

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

// The operation's parameter element, after the envelope has been checked from the top.
pugi::xml_node OperationOf(const pugi::xml_document& document) {
    std::vector<pugi::xml_node> top;
    for (const pugi::xml_node& child : document.children()) {
        if (child.type() == pugi::node_doctype) {
            // SOAP forbids a DTD, and nothing of one is wanted from the network.
            throw ClientFault("a document type declaration is not allowed");
        }
        if (child.type() == pugi::node_element) {
            top.push_back(child);
        }
    }
    if (top.size() != 1 || std::string_view(top[0].name()) != "soap:Envelope") {
        throw ClientFault("the document is not a soap:Envelope");
    }
    const pugi::xml_node envelope = top[0];
    if (std::string_view(envelope.attribute("xmlns:soap").value()) != kSoapNamespace) {
        throw ClientFault(std::string("soap:Envelope must declare xmlns:soap=\"") + kSoapNamespace + "\"");
    }
    std::vector<pugi::xml_node> parts = Elements(envelope);
    if (!parts.empty() && std::string_view(parts.front().name()) == "soap:Header") {
        parts.erase(parts.begin());
    }
    if (parts.size() != 1 || std::string_view(parts[0].name()) != "soap:Body") {
        throw ClientFault("soap:Envelope must hold one soap:Body");
    }
    const std::vector<pugi::xml_node> operations = Elements(parts[0]);
    if (operations.size() != 1 || std::string_view(operations[0].name()) != "tns:sendSupportCall") {
        throw ClientFault("soap:Body must hold one tns:sendSupportCall");
    }
    return operations[0];
}

std::string Join(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : ", ") + name;
    }
    return joined;
}

// Result code 2 and what is wrong, or code 1 with no text yet: the number is only known once stored.
Verdict Check(const pugi::xml_node& param, Language language) {
    const bool german = language == Language::German;
    if (!param) {
        return {2, german ? "Element fehlt: sendSupportCallParam" : "Missing element: sendSupportCallParam"};
    }
    std::vector<std::string> missing;
    std::vector<std::string> unfilled;
    bool versionSupported = true;
    for (const Field& field : kFields) {
        pugi::xml_node container = param;
        std::string_view path = field.container;
        while (!path.empty() && container) {
            const std::size_t slash = path.find('/');
            const std::string segment(path.substr(0, slash));
            const pugi::xml_node next = container.child(segment.c_str());
            if (!next && std::find(missing.begin(), missing.end(), segment) == missing.end()) {
                // One entry for a missing container, not one for each field in it.
                missing.push_back(segment);
            }
            container = next;
            path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        }
        if (!container) {
            continue;
        }
        const std::string name(field.name);
        const pugi::xml_node element = container.child(name.c_str());
        if (!element) {
            (field.required ? unfilled : missing).push_back(name);
            continue;
        }
        const std::string value = LeafText(element);
        if (field.required && IsBlank(value)) {
            unfilled.push_back(name);
        }
        if (name == "ServiceVersion" && value != "1") {
            versionSupported = false;
        }
    }

    std::vector<std::string> problems;
    if (!missing.empty()) {
        const bool one = missing.size() == 1;
        problems.push_back((german ? (one ? "Element fehlt: " : "Elemente fehlen: ")
                                   : (one ? "Missing element: " : "Missing elements: ")) +
                           Join(missing));
    }
    if (!unfilled.empty()) {
        const bool one = unfilled.size() == 1;
        problems.push_back(
            (german ? (one ? "Pflichtfeld nicht ausgefüllt: " : "Pflichtfelder nicht ausgefüllt: ")
                    : (one ? "Required field not filled in: " : "Required fields not filled in: ")) +
            Join(unfilled));
    }
    if (!versionSupported) {
        problems.push_back(german ? "ServiceVersion wird nicht unterstützt (erwartet: 1)"
                                  : "ServiceVersion is not supported (expected: 1)");
    }
    if (problems.empty()) {
        return {1, {}};
    }
    std::string text;
    for (const std::string& problem : problems) {
        text += (text.empty() ? "" : "; ") + problem;
    }
    return {2, text};
}

// The program sends "de" or "en"; anything else is answered in German, the service's first language.
Language LanguageOf(const pugi::xml_node& param) {
    const pugi::xml_node language = param.child("ServiceLanguage");
    return language && language.text().as_string() == std::string_view("en") ? Language::English
                                                                             : Language::German;
}

pugi::xml_node AppendEnvelope(pugi::xml_document& document) {
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "utf-8";
    pugi::xml_node envelope = document.append_child("soap:Envelope");
    envelope.append_attribute("xmlns:soap") = kSoapNamespace;
    return envelope;
}

std::string Serialise(const pugi::xml_document& document) {
    std::ostringstream out;
    document.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    return out.str();
}

// The program looks for the first "return" anywhere and reads its children by their plain names, so
// these three carry no prefix.
std::string ReplyXml(const Verdict& verdict) {
    pugi::xml_document document;
    pugi::xml_node envelope = AppendEnvelope(document);
    envelope.append_attribute("xmlns:tns") = SupportEndpoint::kServiceNamespace;
    pugi::xml_node result =
        envelope.append_child("soap:Body").append_child("tns:sendSupportCallResponse").append_child("return");
    result.append_child("resultCode").text() = verdict.code;
    result.append_child("resultString").text() = verdict.text.c_str();
    return Serialise(document);
}

}  // namespace

SupportEndpoint::SupportEndpoint(RequestStore& store) : m_store(store) {}

void SupportEndpoint::Fault(httplib::Response& response, int status, std::string_view code,
                            std::string_view text) {
    pugi::xml_document document;
    pugi::xml_node fault = AppendEnvelope(document).append_child("soap:Body").append_child("soap:Fault");
    fault.append_child("faultcode").text() = std::string(code).c_str();
    fault.append_child("faultstring").text() = std::string(text).c_str();
    response.status = status;
    response.set_content(Serialise(document), kContentType);
}

bool SupportEndpoint::AdmitFraming(const httplib::Request& request, httplib::Response& response) {
    const char* problem = nullptr;
    if (request.has_header("Transfer-Encoding")) {
        // A chunked body has no length to check, and nothing limits it before it is read.
        problem = "Transfer-Encoding is not accepted; send the body with Content-Length";
    } else if (request.get_header_value_count("Content-Length") == 0) {
        problem = "Content-Length is missing";
    } else if (request.get_header_value_count("Content-Length") > 1) {
        problem = "Content-Length is given more than once";
    } else if (!DecimalLength(request.get_header_value("Content-Length"))) {
        problem = "Content-Length is not a decimal number";
    }
    if (problem != nullptr) {
        Fault(response, 400, "soap:Client", problem);
        return false;
    }
    return true;
}

void SupportEndpoint::Handle(const httplib::Request& request, httplib::Response& response) const {
    const auto receivedAt = std::chrono::system_clock::now();
    const char* headerProblem = nullptr;
    if (!HasSingleHeader(request, "Content-Type", kContentType)) {
        headerProblem = "Content-Type must be text/xml; charset=utf-8";
    } else if (!HasSingleHeader(request, "SOAPAction", kSoapAction)) {
        headerProblem = "SOAPAction must be \"sendSupportCall\"";
    } else if (request.get_header_value_count("Content-Length") != 1 ||
               DecimalLength(request.get_header_value("Content-Length")) != request.body.size()) {
        headerProblem = "Content-Length does not match the body";
    }
    if (headerProblem != nullptr) {
        Fault(response, 400, "soap:Client", headerProblem);
        return;
    }

    try {
        if (!IsXmlUtf8(request.body)) {
            throw ClientFault("the body is not UTF-8 XML text");
        }
        if (!HasOnlyXmlCharacterReferences(request.body)) {
            throw ClientFault("the body refers to a character that XML does not allow");
        }
        pugi::xml_document document;
        const pugi::xml_parse_result parsed = document.load_buffer(
            request.body.data(), request.body.size(),
            pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_doctype, pugi::encoding_utf8);
        if (!parsed) {
            throw ClientFault(std::string("the body is not well-formed XML: ") + parsed.description() +
                              " at byte " + std::to_string(parsed.offset));
        }
        const pugi::xml_node param = OperationOf(document).child("sendSupportCallParam");
        const Language language = LanguageOf(param);
        Verdict verdict = Check(param, language);
        if (verdict.code == 1) {
            const std::optional<RequestStore::Stored> stored = m_store.Store(param, receivedAt);
            if (stored) {
                verdict.text = language == Language::German ? "Anfrage " + stored->number + " gespeichert"
                                                            : "Request " + stored->number + " stored";
            } else {
                // Never 1 for a request that is not on the disk: the user would wait for an answer that
                // cannot come. 3 keeps the dialog open with the entries, ready to send again.
                verdict = {3, language == Language::German
                                  ? "Die Anfrage konnte nicht gespeichert werden. Bitte später erneut senden."
                                  : "The request could not be stored. Please send it again later."};
            }
        }
        response.status = 200;
        response.set_content(ReplyXml(verdict), kContentType);
    } catch (const ClientFault& fault) {
        Fault(response, 500, "soap:Client", fault.what());
    }
}
