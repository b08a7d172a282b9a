#include <gtest/gtest.h>
#include <httplib.h>

#include <fstream>
#include <utility>

#include "helpers/sample_support_request.h"
#include "helpers/temp_dir.h"
#include "lumikarta-service/faq_page.h"
#include "lumikarta-service/reference_service.h"
#include "lumikarta-service/support_endpoint.h"
#include "lumikarta-service/update_signing_key.h"
#include "platform/signature_check.h"

namespace {

// A reference service on a fresh data folder, and a client for it that trusts only its authority.
struct RunningService {
    explicit RunningService(bool https, std::filesystem::path site = {}, std::filesystem::path downloads = {},
                            std::filesystem::path signingKey = {})
        : service({.port = 0,
                   .https = https,
                   .dataFolder = data.Path() / "state",
                   .siteFolder = std::move(site),
                   .downloadsFolder = std::move(downloads),
                   .readTimeout = std::chrono::milliseconds(5000),
                   .signingKey = std::move(signingKey)}) {
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

TEST(ReferenceServiceTest, ServesTheFaqPageAndThePlainFilesOfTheDownloadsFolderOnly) {
    const TempDir outside;
    outside.WriteFile("secret.txt", "secret");
    std::filesystem::create_directories(outside.Path() / "site" / "service");
    outside.WriteFile("site/faq.html", "faq");
    outside.WriteFile("site/secret.txt", "secret");
    std::filesystem::create_directories(outside.Path() / "downloads" / "sub");
    outside.WriteFile("downloads/setup.exe", std::string("MZ\0\x90\xFF", 5));
    outside.WriteFile("downloads/updates.xml", "<File>{{BASE_URL}}/downloads/setup.exe</File>");
    outside.WriteFile("downloads/.htpasswd", "secret");
    RunningService running(false, outside.Path() / "site", outside.Path() / "downloads");
    const std::string notFound = "Not found\n";

    struct Case {
        const char* method;
        std::string path;
        int status;
        std::string body;  // empty: only that no secret is in it
    };
    const Case cases[] = {
        {"GET", FaqPage::kPath, 200, "faq"},
        {"POST", FaqPage::kPath, 405, ""},
        {"GET", "/secret.txt", 404, ""},
        {"GET", "/service/faq.html/../../secret.txt", 404, ""},
        {"GET", "/service/FAQ.html", 404, ""},
        {"GET", "/downloads/setup.exe", 200, std::string("MZ\0\x90\xFF", 5)},
        {"GET", "/downloads/updates.xml", 200,
         "<File>" + running.service.BaseUrl() + "/downloads/setup.exe</File>"},
        {"GET", "/downloads/../secret.txt", 404, notFound},
        {"GET", "/downloads/..%5csecret.txt", 404, notFound},
        {"GET", "/downloads/.htpasswd", 404, notFound},
        {"GET", "/downloads/sub", 404, notFound},
        {"GET", "/downloads/updates.xml%00.exe", 404, notFound},
        {"POST", "/downloads/setup.exe", 405, "Method not allowed\n"},
    };
    httplib::Client client = running.Client();
    for (const Case& c : cases) {
        const std::string what = std::string(c.method) + " " + c.path;
        const httplib::Result result =
            std::string_view(c.method) == "GET" ? client.Get(c.path) : client.Post(c.path, "x", "text/plain");
        ASSERT_TRUE(result) << what;
        EXPECT_EQ(result->status, c.status) << what;
        EXPECT_EQ(result->body.find("secret"), std::string::npos) << what;
        if (!c.body.empty()) {
            EXPECT_EQ(result->body, c.body) << what;
        }
    }
}

// A signature file of the folder is the maker's and goes out as it is; any other definition is signed
// over the bytes as they go out, base URL filled in, so the program's check passes.
TEST(ReferenceServiceTest, ServesEachDefinitionsSignatureBesideIt) {
    const TempDir folder;
    const UpdateSigningKey key = UpdateSigningKey::Generate();
    ASSERT_FALSE(key.WritePrivateKey(folder.Path() / "private.pem"));
    std::filesystem::create_directories(folder.Path() / "downloads");
    folder.WriteFile("downloads/updates.xml", "<File>{{BASE_URL}}/downloads/setup.exe</File>");
    folder.WriteFile("downloads/setup.exe", "MZ");
    folder.WriteFile("downloads/own.xml", "<Updates/>");
    folder.WriteFile("downloads/own.xml.sig", "the maker's own");
    RunningService running(false, {}, folder.Path() / "downloads", folder.Path() / "private.pem");
    httplib::Client client = running.Client();
    const httplib::Result definition = client.Get("/downloads/updates.xml");
    const httplib::Result signature = client.Get("/downloads/updates.xml.sig");
    ASSERT_TRUE(definition && signature);
    const std::string trusted[] = {key.PublicKeyPem()};
    EXPECT_TRUE(platform::SignatureCheck::IsSignedByAny(definition->body, signature->body, trusted));
    const struct {
        const char* path;
        int status;
        const char* body;
    } cases[] = {
        {"/downloads/own.xml.sig", 200, "the maker's own"},
        {"/downloads/setup.exe.sig", 404, "Not found\n"},
        {"/downloads/missing.xml.sig", 404, "Not found\n"},
        {"/downloads/.xml.sig", 404, "Not found\n"},
    };
    for (const auto& c : cases) {
        const httplib::Result result = client.Get(c.path);
        ASSERT_TRUE(result) << c.path;
        EXPECT_EQ(result->status, c.status) << c.path;
        EXPECT_EQ(result->body, c.body) << c.path;
    }
}

// The demo's and the Windows tests' trust in the service's authority outlives a restart.
TEST(ReferenceServiceTest, CertificatesAreMadeOnceWithKeysForTheOwnerOnly) {
    RunningService running(true);
    const std::filesystem::path folder = running.data.Path() / "state";
    const std::string files = ReadFileBytes(folder / "ca.pem") + ReadFileBytes(folder / "server.pem");
    ASSERT_FALSE(files.empty());
    running.service.Stop();
    running.service.Start();
    EXPECT_EQ(ReadFileBytes(folder / "ca.pem") + ReadFileBytes(folder / "server.pem"), files);
    for (const char* key : {"ca-key.pem", "server-key.pem"}) {
        EXPECT_EQ(std::filesystem::status(folder / key).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
            << key;
    }
}

httplib::Result Send(const RunningService& running, const std::string& body) {
    return running.Client().Post(SupportEndpoint::kPath, {{"SOAPAction", "\"sendSupportCall\""}}, body,
                                 "text/xml; charset=utf-8");
}

TEST(SupportEndpointTest, StoresNoMalformedOrOversizedEnvelopeAndReportsNoFailedStoreAsStored) {
    const std::string good = SampleSupportCallEnvelope("Karte lädt nicht");
    const auto replace = [&good](const std::string& from, const std::string& to) {
        std::string changed = good;
        for (std::size_t at = changed.find(from); at != std::string::npos;
             at = changed.find(from, at + to.size())) {
            changed.replace(at, from.size(), to);
        }
        return changed;
    };
    struct Case {
        const char* what;
        std::string body;
        int status;
    };
    const Case cases[] = {
        {"not XML", "sendSupportCall please", 500},
        {"wrong envelope namespace",
         replace("schemas.xmlsoap.org/soap/envelope/", "www.w3.org/2003/05/soap-envelope"), 500},
        {"other operation", replace("tns:sendSupportCall", "tns:sendOther"), 500},
        {"two operations", replace("</soap:Body>", "<tns:sendSupportCall/></soap:Body>"), 500},
        {"markup in a value", replace("Drucken<", "<b>Drucken</b><"), 500},
        {"not UTF-8", replace("Drucken", "Druck\xe4n"), 500},
        {"control character as a reference", replace("Drucken<", "Druck&#1;en<"), 500},
        {"document type",
         replace("<soap:Envelope", "<!DOCTYPE soap:Envelope [<!ENTITY big \"xxxxxxxx\">]><soap:Envelope"),
         500},
        {"too large", good + std::string(SupportEndpoint::kMaxBodyBytes + 1, ' '), 413},
    };
    RunningService running(true);
    for (const Case& c : cases) {
        const httplib::Result reply = Send(running, c.body);
        ASSERT_TRUE(reply) << c.what;
        EXPECT_EQ(reply->status, c.status) << c.what;
        EXPECT_NE(reply->body.find("<faultcode>soap:Client</faultcode>"), std::string::npos) << reply->body;
        EXPECT_EQ(reply->body.find("resultCode"), std::string::npos) << c.what;
    }
    EXPECT_TRUE(std::filesystem::is_empty(running.service.RequestsFolder()));

    // A request that cannot be written must never be reported as stored.
    std::filesystem::remove_all(running.service.RequestsFolder());
    std::ofstream(running.service.RequestsFolder()) << "in the way";
    const httplib::Result reply = Send(running, SampleSupportCallEnvelope("Text"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    EXPECT_NE(reply->body.find("<resultCode>3</resultCode>"), std::string::npos) << reply->body;
    EXPECT_NE(reply->body.find("<resultString>Die Anfrage konnte nicht gespeichert werden. Bitte später "
                               "erneut senden.</resultString>"),
              std::string::npos);
}

}  // namespace
