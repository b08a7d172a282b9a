#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "common/xml_document.h"
#include "support/raw_http_server.h"
#include "support/scoped_http_timeouts.h"

// Needs the local HTTP server of the Linux tests; the Windows tests load from the reference service.

namespace {

// A document from a URL is held in memory whole: up to 16 MiB, and only while it comes in time.
// Whether an error page could pass for the document is tried where it matters: the update definition.
TEST(XmlDocumentLoad, UrlsAreReadWithinTheirSizeAndTime) {
    const ScopedHttpTimeouts shortened({.connectSeconds = 5, .idleSeconds = 5, .totalSeconds = 1});
    const auto padded = [](std::size_t size) { return "<a>" + std::string(size - 7, ' ') + "</a>"; };
    const std::pair<RawHttpReply, bool> cases[] = {
        {RawHttpReply::Complete(padded(16 * 1024 * 1024)), true},
        {RawHttpReply::Complete(padded(16 * 1024 * 1024 + 1)), false},
        {RawHttpReply::Drip("<a>" + std::string(160, ' ') + "</a>"), false},
    };
    for (const auto& [reply, loads] : cases) {
        RawHttpServer server(reply);
        // The scheme is told without regard to case.
        const std::string url = "HTTP" + server.Url("/updates.xml").substr(4);
        CXMLDocument doc;
        EXPECT_EQ(doc.Load(url), loads) << reply.body.size() << ": " << doc.ErrorReason();
    }
}

}  // namespace
