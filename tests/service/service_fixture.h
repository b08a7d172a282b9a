#pragma once

#include <httplib.h>

#include <utility>

#include "lumikarta-service/reference_service.h"
#include "support/temp_dir.h"

// A reference service on a fresh data folder, and a client for it that trusts only its authority.
struct RunningService {
    explicit RunningService(bool https, std::filesystem::path site = {}, std::filesystem::path downloads = {})
        : service({.port = 0,
                   .https = https,
                   .dataFolder = data.Path() / "state",
                   .siteFolder = std::move(site),
                   .downloadsFolder = std::move(downloads),
                   .readTimeout = std::chrono::milliseconds(5000)}) {
        service.Start();
    }

    httplib::Client Client() const {
        httplib::Client client(service.BaseUrl());
        if (!service.CaFile().empty()) {
            client.set_ca_cert_path(service.CaFile().c_str());
            client.enable_server_certificate_verification(true);
        }
        client.set_read_timeout(std::chrono::seconds(20));
        return client;
    }

    TempDir data;
    ReferenceService service;
};
