#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "helpers/raw_http_server.h"
#include "helpers/sample_support_request.h"
#include "helpers/scoped_env.h"
#include "support/support_call.h"

// What only WinINet shows: the system's certificate store and the bytes WinINet writes. The test run
// starts two HTTPS reference services on 127.0.0.1 and names them in LUMIKARTA_TEST_TRUSTED_HTTPS_URL
// and LUMIKARTA_TEST_UNTRUSTED_HTTPS_URL.

namespace {

SupportRequest SampleRequest() {
    return SampleSupportRequest("Der Ausdruck ist leer. Grüße aus Köln, 5 € <&>");
}

// The production call goes over HTTPS, and the system's certificate store decides whom it reaches:
// the test run has made the prefix trust the authority of one service and not of the other.
TEST(WindowsHttps, SupportCallReachesOnlyAServiceTheSystemTrusts) {
    const char* trusted = std::getenv("LUMIKARTA_TEST_TRUSTED_HTTPS_URL");
    const char* untrusted = std::getenv("LUMIKARTA_TEST_UNTRUSTED_HTTPS_URL");
    if (trusted == nullptr || untrusted == nullptr) {
        GTEST_SKIP() << "LUMIKARTA_TEST_TRUSTED_HTTPS_URL or LUMIKARTA_TEST_UNTRUSTED_HTTPS_URL is not set";
    }
    const std::pair<const char*, SupportCallOutcome::Kind> cases[] = {
        {trusted, SupportCallOutcome::Kind::Succeeded},
        {untrusted, SupportCallOutcome::Kind::NoConnection},
    };
    for (const auto& [url, kind] : cases) {
        const ScopedEnv supportUrl("LUMIKARTA_SUPPORT_URL", url);
        const SupportCallOutcome outcome = PostSupportCall(SampleRequest(), "\r\n\r\nBericht");
        EXPECT_EQ(outcome.kind, kind) << url << ": " << outcome.resultString;
    }
}

// The bytes of the support call as WinINet sends them, at a plain socket. They agree with the Linux
// build's but for Wine's WinINet, which writes every header it is given as name, colon, blank and
// value; the report's line breaks leave the platform's XML writer as line feeds alone, as every XML
// reader reads them.
TEST(WindowsHttpWire, SupportCallArrivesAsItsBytes) {
    RawHttpServer server(RawHttpReply::Complete(
        "<?xml version=\"1.0\"?><Envelope><return><resultCode>1</resultCode></return></Envelope>"));
    const ScopedEnv supportUrl("LUMIKARTA_SUPPORT_URL", server.Url(""));
    EXPECT_EQ(PostSupportCall(SampleRequest(), "\r\n\r\nBericht").kind, SupportCallOutcome::Kind::Succeeded);
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(
        requests[0],
        SupportCallRequestBytes(
            server.Port(),
            SampleSupportCallEnvelope("Der Ausdruck ist leer. Grüße aus Köln, 5 € &lt;&amp;&gt;\n\nBericht"),
            " "));
}

}  // namespace
