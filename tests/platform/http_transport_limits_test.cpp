#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <string>

#include "platform/http_transport.h"
#include "support/raw_http_server.h"
#include "support/scoped_http_timeouts.h"

// Runs on both platforms: the limits hold between either transport and its receiver.

namespace {

using platform::HttpRequest;
using platform::HttpResult;
using Outcome = platform::HttpResult::Outcome;

// A document read into memory ends, failed, once it passes its size or its time; what a server
// sends is never kept beyond the size.
TEST(HttpTransport, DocumentsStayWithinTheirSizeAndTime) {
    ScopedHttpTimeouts shortened({.connectSeconds = 5, .idleSeconds = 5, .totalSeconds = 1});
    constexpr std::size_t kCap = 100 * 1024;
    struct Case {
        const char* label;
        RawHttpReply reply;
        bool succeeds = false;
    };
    const Case cases[] = {
        {"endless body", RawHttpReply::EndlessBody()},
        {"huge announced length", RawHttpReply::HugeLength()},
        {"drip", RawHttpReply::Drip(std::string(160, 'd'))},
        {"cut body", RawHttpReply::CutBody("<a>")},
        {"one byte too many", RawHttpReply::Complete(std::string(kCap + 1, 'l'))},
        {"exactly the size", RawHttpReply::Complete(std::string(kCap, 'l')), true},
        {"empty body", RawHttpReply::EmptyBody(), true},
    };
    for (const Case& c : cases) {
        RawHttpServer server(c.reply);
        HttpRequest request;
        request.url = server.Url("/doc.xml");
        request.maxBodyBytes = kCap;
        request.limitTotalTime = true;
        std::string body;
        const HttpResult result = platform::HttpFetch(*platform::CreateHttpTransport(), request, body);
        EXPECT_EQ(result.IsSuccess(), c.succeeds) << c.label << ": " << result.error;
        EXPECT_EQ(result.error.empty(), c.succeeds) << c.label;
        EXPECT_LE(body.size(), kCap) << c.label;
    }
}

class ThrowingReceiver : public platform::HttpReceiver {
public:
    explicit ThrowingReceiver(int where) : m_where(where) {}
    void OnResponseStart(long, int64_t) override { Throw(0); }
    bool OnBody(const char*, std::size_t) override { return Throw(1); }
    bool ShouldContinue() override { return Throw(2); }

private:
    bool Throw(int where) const {
        if (where == m_where) {
            throw std::bad_alloc();
        }
        return true;
    }
    int m_where;
};

// Whatever a receiver throws, the transfer ends as a failure and nothing reaches the caller.
TEST(HttpTransport, AnExceptionOfTheReceiverFailsTheTransfer) {
    RawHttpServer server(RawHttpReply::EndlessBody());
    for (const int where : {0, 1, 2}) {
        ThrowingReceiver receiver(where);
        HttpResult result;
        HttpRequest request;
        request.url = server.Url("/");
        EXPECT_NO_THROW(result = platform::CreateHttpTransport()->Perform(request, receiver)) << where;
        EXPECT_EQ(result.outcome, Outcome::Failed) << where;
        EXPECT_FALSE(result.error.empty()) << where;
    }
}

}  // namespace
