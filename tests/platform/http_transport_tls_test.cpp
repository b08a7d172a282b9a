#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "helpers/local_http_server.h"
#include "helpers/raw_http_server.h"
#include "helpers/scoped_env.h"
#include "helpers/temp_dir.h"
#include "lumikarta-service/service_certificate.h"
#include "platform/http_transport.h"

// libcurl's TLS: whom it trusts besides the system's authorities (LUMIKARTA_CA_BUNDLE) and what it
// offers. On Windows the system's certificate store alone decides, tried under Wine.

namespace {

// Offered protocols of a TLS client, as the server sees them; the server takes HTTP/1.1.
int RecordOfferedProtocols(SSL*, const unsigned char** selected, unsigned char* selectedLength,
                           const unsigned char* offered, unsigned int offeredLength, void* record) {
    auto& [mutex, text] = *static_cast<std::pair<std::mutex, std::string>*>(record);
    const std::lock_guard lock(mutex);
    text.assign(reinterpret_cast<const char*>(offered), offeredLength);
    static constexpr unsigned char kHttp11[] = "http/1.1";
    *selected = kHttp11;
    *selectedLength = sizeof kHttp11 - 1;
    return SSL_TLSEXT_ERR_OK;
}

// Only a server that proves who it is through the system's or the extra authorities is reached, over
// HTTP/1.1 alone also when it would speak HTTP/2, and a redirect to plain HTTP is not followed.
TEST(HttpTransportTls, OnlyATrustedServerIsReachedOverHttp11AndNeverLeftForPlainHttp) {
    const TempDir folder;
    const TempDir otherFolder;
    const ServiceCertificate certificate(folder.Path());
    const ServiceCertificate otherAuthority(otherFolder.Path());
    const std::string ca = certificate.CaFile().string();
    LocalHttpServer tls(certificate);
    std::pair<std::mutex, std::string> offered;
    SSL_CTX_set_alpn_select_cb(static_cast<httplib::SSLServer&>(tls.Routes()).ssl_context(),
                               RecordOfferedProtocols, &offered);
    tls.Routes().Get(
        "/", [](const httplib::Request&, httplib::Response& res) { res.set_content("x", "text/plain"); });
    RawHttpServer plain(RawHttpReply::Complete("x"));
    tls.Routes().Get("/downgrade", [&plain](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(plain.Url("/"));
    });
    tls.Start();

    const struct {
        const char* path;
        std::optional<std::string> caBundle;
        bool reached;
    } cases[] = {
        {"/", ca, true},
        {"/", std::nullopt, false},
        {"/", otherAuthority.CaFile().string(), false},
        {"/", ca + ".missing", false},
        {"/downgrade", ca, false},
    };
    for (const auto& c : cases) {
        ScopedEnv bundle("LUMIKARTA_CA_BUNDLE", c.caBundle);
        platform::HttpRequest request;
        request.url = tls.Url(c.path);
        std::string body;
        const platform::HttpResult result =
            platform::HttpFetch(*platform::CreateHttpTransport(), request, body);
        SCOPED_TRACE(std::string(c.path) + " " + c.caBundle.value_or(""));
        using Outcome = platform::HttpResult::Outcome;
        EXPECT_EQ(result.outcome, c.reached ? Outcome::Completed : Outcome::Failed) << result.error;
        EXPECT_EQ(result.error.empty(), c.reached);
        EXPECT_EQ(body, c.reached ? "x" : "");
    }
    EXPECT_TRUE(plain.Requests().empty()) << "a redirect from https to http is not followed";
    const std::lock_guard lock(offered.first);
    EXPECT_EQ(offered.second, "\x08http/1.1");
}

}  // namespace
