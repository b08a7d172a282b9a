#pragma once

#include <httplib.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "lumikarta-service/reference_service.h"
#include "lumikarta-service/support_endpoint.h"
#include "support/temp_dir.h"

// A reference service on a fresh data folder, and clients for it that check its certificate.
struct RunningService {
    explicit RunningService(bool https = true, std::filesystem::path site = {})
        : service({.port = 0,
                   .https = https,
                   .dataFolder = data.Path() / "state",
                   .siteFolder = std::move(site),
                   .downloadsFolder = {},
                   .readTimeout = std::chrono::milliseconds(5000)}) {
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

// What the program reads from an answer: the first "return" anywhere and its unprefixed children;
// or, for a fault, its code.
struct Reply {
    int status = 0;
    std::optional<int> resultCode;
    std::string resultString;
    std::string faultCode;
};

inline Reply Send(const RunningService& running, const std::string& body) {
    const httplib::Result result = running.Client()->Post(
        SupportEndpoint::kPath, {{"SOAPAction", "\"sendSupportCall\""}}, body, "text/xml; charset=utf-8");
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
