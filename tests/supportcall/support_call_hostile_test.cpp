#include <gtest/gtest.h>

#include "support/raw_http_server.h"
#include "support/sample_support_request.h"
#include "support/scoped_env.h"
#include "support/scoped_http_timeouts.h"
#include "support/support_call.h"

// Runs on both platforms.

namespace {

// A server that sends without end, too slowly or not what it announced is no answer, within the
// call's time.
TEST(SupportCallHostileServer, IsNoAnswer) {
    const ScopedHttpTimeouts shortened({.connectSeconds = 5, .idleSeconds = 5, .totalSeconds = 1});
    const std::string accepted =
        "<?xml version=\"1.0\"?><Envelope><Body><return><resultCode>1</resultCode>"
        "<resultString>angenommen, aber viel zu langsam</resultString></return></Body></Envelope>";
    const RawHttpReply replies[] = {
        RawHttpReply::EndlessBody(),     RawHttpReply::HugeLength(), RawHttpReply::Drip(accepted),
        RawHttpReply::CutBody(accepted), RawHttpReply::EmptyBody(),
    };
    for (const RawHttpReply& reply : replies) {
        RawHttpServer server(reply);
        const ScopedEnv url("LUMIKARTA_SUPPORT_URL", server.Url(""));
        EXPECT_EQ(PostSupportCall(SampleSupportRequest("Drucken"), "").kind,
                  SupportCallOutcome::Kind::NoConnection)
            << reply.head;
    }
}

}  // namespace
