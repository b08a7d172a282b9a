#pragma once

#include <httplib.h>

#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "lumikarta-service/reference_service.h"
#include "lumikarta-service/support_endpoint.h"
#include "support/temp_dir.h"

// A reference service on a fresh data folder, and clients for it that check its certificate.
struct RunningService {
    explicit RunningService(bool https = true, std::filesystem::path site = {},
                            std::chrono::milliseconds readTimeout = std::chrono::milliseconds(5000))
        : service({.port = 0,
                   .https = https,
                   .dataFolder = data.Path() / "state",
                   .siteFolder = std::move(site),
                   .downloadsFolder = {},
                   .readTimeout = readTimeout}) {
        service.Start();
    }

    std::unique_ptr<httplib::SSLClient> Client() const {
        auto client = std::make_unique<httplib::SSLClient>(ReferenceService::kHost, service.Port());
        client->set_ca_cert_path(service.CaFile().c_str());
        client->enable_server_certificate_verification(true);
        client->set_read_timeout(std::chrono::seconds(20));
        return client;
    }

    std::vector<std::filesystem::path> StoredFiles() const {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(service.RequestsFolder())) {
            files.push_back(entry.path());
        }
        return files;
    }

    TempDir data;
    ReferenceService service;
};

// One parameter of sendSupportCallParam by its path below it, e.g. "SupportCall/Customer/EMail".
struct Param {
    std::string path;
    std::string value;
};
using Params = std::vector<Param>;

// Every element the program sends, filled as a user would, in the program's order.
inline Params CompleteRequest(const std::string& language = "de") {
    return {{"ServiceVersion", "1"},
            {"ServiceLanguage", language},
            {"SupportCall/Product", "ProductA"},
            {"SupportCall/Productversion", "3.0.0"},
            {"SupportCall/Subject", "Installation"},
            {"SupportCall/Description",
             "Karte lädt nicht <&> \"quoted\"\n\tzweite Zeile\n\nProductA 3.0.0: RegionA\\100\n"},
            {"SupportCall/Hardware/Graphic", "Navi 21 [Radeon RX 6800]"},
            {"SupportCall/Hardware/GraphicDriverVersion", "amdgpu 6.1"},
            {"SupportCall/Hardware/OperatingSystem", "Debian GNU/Linux 12 (bookworm), 64-bit"},
            {"SupportCall/Hardware/Printer", ""},
            {"SupportCall/Hardware/PDA", ""},
            {"SupportCall/Hardware/CPU", "AMD Ryzen 7"},
            {"SupportCall/Hardware/RAM", "16 GB"},
            {"SupportCall/Hardware/KettlerDevice", ""},
            {"SupportCall/Hardware/KettlerDeviceID", ""},
            {"SupportCall/Customer/Salutation", "Frau"},
            {"SupportCall/Customer/Firstname", "Jördis"},
            {"SupportCall/Customer/Surname", "Müller-Groß"},
            {"SupportCall/Customer/Company", " "},
            {"SupportCall/Customer/Street", "Hauptstraße 1"},
            {"SupportCall/Customer/ZipCode", "12345"},
            {"SupportCall/Customer/City", "Köln"},
            {"SupportCall/Customer/Country", "Deutschland"},
            {"SupportCall/Customer/EMail", "j.mueller@example.org"},
            {"SupportCall/Customer/Telephone", ""}};
}

inline Params With(Params params, const std::string& path, const std::string& value) {
    for (Param& param : params) {
        if (param.path == path) {
            param.value = value;
        }
    }
    return params;
}

// Leaves out the element at `path`, and everything in it.
inline Params Without(Params params, const std::string& path) {
    std::erase_if(
        params, [&](const Param& param) { return param.path == path || param.path.starts_with(path + "/"); });
    return params;
}

// The request envelope as the program builds it.
inline std::string Envelope(const Params& params) {
    pugi::xml_document document;
    pugi::xml_node envelope = document.append_child("soap:Envelope");
    envelope.append_attribute("xmlns:soap") = "http://schemas.xmlsoap.org/soap/envelope/";
    envelope.append_attribute("xmlns:tns") = "http://www.lumikarta.de/support";
    pugi::xml_node body = envelope.append_child("soap:Body");
    body.append_attribute("soap:encodingStyle") = "http://schemas.xmlsoap.org/soap/encoding/";
    pugi::xml_node param = body.append_child("tns:sendSupportCall").append_child("sendSupportCallParam");
    for (const Param& item : params) {
        pugi::xml_node node = param;
        std::istringstream segments(item.path);
        for (std::string segment; std::getline(segments, segment, '/');) {
            pugi::xml_node child = node.child(segment.c_str());
            node = child ? child : node.append_child(segment.c_str());
        }
        node.text() = item.value.c_str();
    }
    std::ostringstream out;
    document.save(out, "", pugi::format_raw | pugi::format_no_declaration);
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>" + out.str();
}

inline const httplib::Headers& SoapAction() {
    static const httplib::Headers headers{{"SOAPAction", "\"sendSupportCall\""}};
    return headers;
}

// What the program reads from an answer: the first "return" anywhere and its unprefixed children;
// or, for a fault, its code.
struct Reply {
    int status = 0;
    std::optional<int> resultCode;
    std::string resultString;
    std::string faultCode;
};

inline Reply Send(const RunningService& running, const std::string& body,
                  const httplib::Headers& headers = SoapAction(),
                  const std::string& contentType = "text/xml; charset=utf-8") {
    const httplib::Result result =
        running.Client()->Post(SupportEndpoint::kPath, headers, body, contentType.c_str());
    Reply reply;
    if (!result) {
        return reply;
    }
    reply.status = result->status;
    pugi::xml_document document;
    if (!document.load_string(result->body.c_str())) {
        return reply;
    }
    if (const pugi::xml_node found = document.select_node("//return").node()) {
        if (const pugi::xml_node code = found.child("resultCode")) {
            reply.resultCode = code.text().as_int();
        }
        reply.resultString = found.child("resultString").text().as_string();
    }
    reply.faultCode = document.select_node("//soap:Fault/faultcode").node().text().as_string();
    return reply;
}
