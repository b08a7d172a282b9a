#include "platform/http_transport.h"

#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/local_http_server.h"
#include "support/scoped_env.h"
#include "support/scoped_http_timeouts.h"
#include "support/test_certificate.h"

namespace {

using platform::HttpRequest;
using platform::HttpResult;
using Outcome = platform::HttpResult::Outcome;
using namespace std::chrono_literals;

// Records what the transport reports and stops where the test says.
class RecordingReceiver : public platform::HttpReceiver {
public:
    void OnResponseStart(long status, int64_t contentLength) override {
        ++starts;
        this->status = status;
        length = contentLength;
        bodyBeforeStart = !body.empty();
    }
    bool OnBody(const char* data, std::size_t size) override {
        body.append(data, size);
        return acceptBody;
    }
    bool ShouldContinue() override { return !stopOnceBodyArrives || body.empty(); }

    bool acceptBody = true;
    bool stopOnceBodyArrives = false;
    int starts = 0;
    long status = 0;
    int64_t length = 0;
    bool bodyBeforeStart = false;
    std::string body;
};

HttpResult Get(const std::string& url, platform::HttpReceiver& receiver) {
    HttpRequest request;
    request.url = url;
    return platform::CreateHttpTransport()->Perform(request, receiver);
}

TEST(HttpTransport, PostSendsBodyAndHeadersExactly) {
    httplib::Request seen;
    LocalHttpServer server;
    server.Routes().Post("/call", [&seen](const httplib::Request& req, httplib::Response& res) {
        seen = req;
        res.set_content("ok", "text/plain");
    });
    server.Start();

    std::string binary("a\0b\r\nc\xFF", 7);
    struct Case {
        std::string body;
        bool noCache;
    };
    // Large bodies are where libcurl would otherwise ask for "100-continue".
    const std::vector<Case> cases = {
        {binary, false}, {"", true}, {std::string(3 * 1024 * 1024, 'x') + binary, true}};
    for (const Case& c : cases) {
        HttpRequest request;
        request.method = "POST";
        request.url = server.Url("/call");
        request.body = c.body;
        request.noCache = c.noCache;
        request.headers = {"Content-Type: text/xml; charset=utf-8", "X-Custom: Grüße"};
        std::string answer;
        const HttpResult result = platform::HttpFetch(*platform::CreateHttpTransport(), request, answer);
        ASSERT_TRUE(result.IsSuccess()) << result.error;
        EXPECT_EQ(answer, "ok");
        EXPECT_EQ(seen.method, "POST");
        EXPECT_TRUE(seen.body == c.body)
            << "body of " << c.body.size() << " bytes arrived as " << seen.body.size();
        EXPECT_EQ(seen.get_header_value("User-Agent"), "LumikartaSystemInfo");
        EXPECT_EQ(seen.get_header_value("Content-Type"), "text/xml; charset=utf-8");
        EXPECT_EQ(seen.get_header_value("X-Custom"), "Grüße");
        EXPECT_FALSE(seen.has_header("Expect")) << seen.get_header_value("Expect");
        EXPECT_EQ(seen.get_header_value("Cache-Control"), c.noCache ? "no-cache" : "");
        EXPECT_EQ(seen.get_header_value("Pragma"), c.noCache ? "no-cache" : "");
    }
}

TEST(HttpTransport, ReportsTheFinalResponseOnceBeforeItsBody) {
    LocalHttpServer server;
    httplib::Server& routes = server.Routes();
    routes.Get("/fixed", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("twelve bytes", "text/plain");
    });
    routes.Get("/chunked", [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain", [](std::size_t, httplib::DataSink& sink) {
            sink.write("part one,", 9);
            sink.write("part two", 8);
            sink.done();
            return true;
        });
    });
    routes.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("gone", "text/plain");
    });
    routes.Get("/moved", [](const httplib::Request&, httplib::Response& res) {
        res.status = 302;
        res.set_header("Location", "/chunked");
        res.set_content("redirect body, delivered when not followed", "text/plain");
    });
    server.Start();

    struct Case {
        const char* path;
        bool follow;
        long status;
        int64_t length;
        std::string body;
    };
    const std::vector<Case> cases = {
        {"/fixed", true, 200, 12, "twelve bytes"},
        {"/chunked", true, 200, -1, "part one,part two"},
        {"/missing", true, 404, 4, "gone"},
        {"/moved", true, 200, -1, "part one,part two"},
        {"/moved", false, 302, 42, "redirect body, delivered when not followed"},
    };
    for (const Case& c : cases) {
        HttpRequest request;
        request.url = server.Url(c.path);
        request.followRedirects = c.follow;
        RecordingReceiver receiver;
        const HttpResult result = platform::CreateHttpTransport()->Perform(request, receiver);
        EXPECT_EQ(result.outcome, Outcome::Completed) << c.path << ": " << result.error;
        EXPECT_EQ(result.status, c.status) << c.path;
        EXPECT_EQ(receiver.starts, 1) << c.path;
        EXPECT_FALSE(receiver.bodyBeforeStart) << c.path;
        EXPECT_EQ(receiver.status, c.status) << c.path;
        EXPECT_EQ(receiver.length, c.length) << c.path;
        EXPECT_EQ(receiver.body, c.body) << c.path;
    }
}

TEST(HttpTransport, TheReceiverCanStopTheTransfer) {
    LocalHttpServer server;
    server.Routes().Get("/large", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(4 * 1024 * 1024, 'z'), "application/octet-stream");
    });
    server.Routes().Get("/stalls", [&server](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain",
                                         [&server](std::size_t offset, httplib::DataSink& sink) {
                                             if (offset == 0) {
                                                 return sink.write("first piece", 11);
                                             }
                                             server.Stall(5s);
                                             return false;
                                         });
    });
    server.Start();

    struct Case {
        const char* path;
        bool acceptBody;
        bool stopOnceBodyArrives;
    };
    const std::vector<Case> cases = {{"/large", false, false}, {"/stalls", true, true}};
    for (const Case& c : cases) {
        RecordingReceiver receiver;
        receiver.acceptBody = c.acceptBody;
        receiver.stopOnceBodyArrives = c.stopOnceBodyArrives;
        const HttpResult result = Get(server.Url(c.path), receiver);
        EXPECT_EQ(result.outcome, Outcome::Aborted) << c.path << ": " << result.error;
        EXPECT_FALSE(result.IsSuccess());
        EXPECT_FALSE(receiver.body.empty()) << c.path;
    }
}

TEST(HttpTransport, FailuresCarryAnErrorTextAndSendNothingDoubtful) {
    int closedPort = 0;
    {
        LocalHttpServer gone;
        gone.Start();
        closedPort = gone.Port();
    }
    TestCertificate certificate;
    TestCertificate otherAuthority;
    LocalHttpServer tls(certificate);
    tls.Routes().Get(
        "/", [](const httplib::Request&, httplib::Response& res) { res.set_content("x", "text/plain"); });
    tls.Routes().Get("/silent", [&tls](const httplib::Request&, httplib::Response& res) {
        tls.Stall(10s);
        res.set_content("too late", "text/plain");
    });
    std::atomic<int> reached = 0;
    tls.Routes().Get("/count", [&reached](const httplib::Request&, httplib::Response&) { ++reached; });
    LocalHttpServer plain;
    plain.Routes().Get("/count", [&reached](const httplib::Request&, httplib::Response&) { ++reached; });
    plain.Start();
    tls.Routes().Get("/downgrade", [&plain](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(plain.Url("/count"));
    });
    tls.Start();
    ScopedHttpTimeouts shortened({.connectSeconds = 5, .idleSeconds = 1});

    struct Case {
        const char* label;
        std::string url;
        std::optional<std::string> caBundle;
        std::string method = "GET";
        std::vector<std::string> headers = {};
    };
    const std::vector<Case> cases = {
        {"connection refused", "http://127.0.0.1:" + std::to_string(closedPort) + "/", std::nullopt},
        {"untrusted certificate", tls.Url("/"), std::nullopt},
        {"certificate of another authority", tls.Url("/"), otherAuthority.CaFile()},
        {"unreadable extra authorities", tls.Url("/"), certificate.CaFile() + ".missing"},
        {"scheme other than http", "file:///etc/hostname", std::nullopt},
        {"silent server, given up after the idle time", tls.Url("/silent"), certificate.CaFile()},
        {"header that could inject another",
         tls.Url("/count"),
         certificate.CaFile(),
         "GET",
         {"X-Value: a\r\nX-Injected: b"}},
        {"header with a bare line feed", tls.Url("/count"), certificate.CaFile(), "GET", {"X-Value: a\nb"}},
        {"unknown method", tls.Url("/count"), certificate.CaFile(), "DELETE"},
        {"redirect from https to http", tls.Url("/downgrade"), certificate.CaFile()},
    };
    for (const Case& c : cases) {
        ScopedEnv bundle("LUMIKARTA_CA_BUNDLE", c.caBundle);
        HttpRequest request;
        request.method = c.method;
        request.url = c.url;
        request.headers = c.headers;
        RecordingReceiver receiver;
        const HttpResult result = platform::CreateHttpTransport()->Perform(request, receiver);
        EXPECT_EQ(result.outcome, Outcome::Failed) << c.label;
        EXPECT_FALSE(result.error.empty()) << c.label;
        EXPECT_EQ(receiver.starts, 0) << c.label;
    }
    EXPECT_EQ(reached, 0) << "no request that could inject, is unknown or gives up TLS is sent";
    ScopedEnv trusted("LUMIKARTA_CA_BUNDLE", certificate.CaFile());
    RecordingReceiver receiver;
    EXPECT_TRUE(Get(tls.Url("/"), receiver).IsSuccess());
}

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

// A server that would speak HTTP/2 is offered HTTP/1.1 alone.
TEST(HttpTransport, OffersOnlyHttp11) {
    TestCertificate certificate;
    LocalHttpServer tls(certificate);
    std::pair<std::mutex, std::string> offered;
    SSL_CTX_set_alpn_select_cb(static_cast<httplib::SSLServer&>(tls.Routes()).ssl_context(),
                               RecordOfferedProtocols, &offered);
    tls.Routes().Get(
        "/", [](const httplib::Request&, httplib::Response& res) { res.set_content("x", "text/plain"); });
    tls.Start();
    ScopedEnv trusted("LUMIKARTA_CA_BUNDLE", certificate.CaFile());
    RecordingReceiver receiver;
    EXPECT_TRUE(Get(tls.Url("/"), receiver).IsSuccess());
    const std::lock_guard lock(offered.first);
    EXPECT_EQ(offered.second, "\x08http/1.1");
}

}  // namespace
