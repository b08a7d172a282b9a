#include "platform/http_transport.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "helpers/raw_http_server.h"
#include "helpers/scoped_http_timeouts.h"

// Runs on both platforms: libcurl and WinINet owe their receiver the same behaviour.

namespace {

using platform::HttpRequest;
using platform::HttpResult;
using Outcome = platform::HttpResult::Outcome;

// Records what the transport reports and stops or throws where the test says.
class RecordingReceiver : public platform::HttpReceiver {
public:
    void OnResponseStart(long status, int64_t contentLength) override {
        ThrowAt(0);
        ++starts;
        this->status = status;
        length = contentLength;
        bodyBeforeStart = !body.empty();
    }
    bool OnBody(const char* data, std::size_t size) override {
        ThrowAt(1);
        body.append(data, size);
        return acceptBody;
    }
    bool ShouldContinue() override {
        ThrowAt(2);
        return !stopOnceBodyArrives || body.empty();
    }
    void ThrowAt(int where) const {
        if (where == throwAt) {
            throw std::bad_alloc();
        }
    }

    int throwAt = -1;
    bool acceptBody = true;
    bool stopOnceBodyArrives = false;
    int starts = 0;
    long status = 0;
    int64_t length = 0;
    bool bodyBeforeStart = false;
    std::string body;
};

HttpResult Perform(const HttpRequest& request, platform::HttpReceiver& receiver) {
    return platform::CreateHttpTransport()->Perform(request, receiver);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The request as it arrives: HTTP/1.1, the body byte for byte, the headers given, no wait for
// "100-continue" (large bodies are where libcurl would otherwise ask for it).
TEST(HttpTransport, PostSendsBodyAndHeadersExactly) {
    const std::string binary("a\0b\r\nc\xFF", 7);
    struct Case {
        std::string body;
        bool noCache;
    };
    const std::vector<Case> cases = {
        {binary, false}, {"", true}, {std::string(3 * 1024 * 1024, 'x') + binary, true}};
    for (const Case& c : cases) {
        RawHttpServer server(RawHttpReply::Complete("ok"));
        HttpRequest request;
        request.method = "POST";
        request.url = server.Url("/call");
        request.body = c.body;
        request.noCache = c.noCache;
        request.headers = {"Content-Type: text/xml; charset=utf-8", "X-Custom: a; b=\"c\""};
        std::string answer;
        const HttpResult result = platform::HttpFetch(*platform::CreateHttpTransport(), request, answer);
        ASSERT_TRUE(result.IsSuccess()) << result.error;
        EXPECT_EQ(answer, "ok");
        const std::vector<std::string> requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u);
        const std::string& seen = requests[0];
        const std::size_t headEnd = seen.find("\r\n\r\n") + 4;
        const std::string head = seen.substr(0, headEnd);
        EXPECT_TRUE(head.starts_with("POST /call HTTP/1.1\r\n")) << head;
        EXPECT_TRUE(seen.substr(headEnd) == c.body)
            << "body of " << c.body.size() << " bytes arrived as " << seen.size() - headEnd;
        EXPECT_TRUE(Contains(head, "\r\nUser-Agent: LumikartaSystemInfo\r\n")) << head;
        EXPECT_TRUE(Contains(head, "\r\nContent-Type: text/xml; charset=utf-8\r\n")) << head;
        EXPECT_TRUE(Contains(head, "\r\nX-Custom: a; b=\"c\"\r\n")) << head;
        EXPECT_FALSE(Contains(head, "\r\nExpect:")) << head;
        EXPECT_EQ(Contains(head, "\r\nCache-Control: no-cache\r\nPragma: no-cache\r\n"), c.noCache) << head;
    }
}

// The receiver stops a transfer by refusing the body, and also while the server sends nothing.
TEST(HttpTransport, ReportsTheFinalResponseOnceBeforeItsBody) {
    const RawHttpReply chunks = RawHttpReply::Status("200 OK", "Transfer-Encoding: chunked\r\n",
                                                     "9\r\npart one,\r\n8\r\npart two\r\n0\r\n\r\n");
    RawHttpServer chunked(chunks);
    const std::string moved = "redirect body, delivered when not followed";
    const RawHttpReply redirect = RawHttpReply::Status(
        "302 Found", "Location: " + chunked.Url("/") + "\r\nContent-Length: 42\r\n", moved);
    struct Case {
        const char* label;
        RawHttpReply reply;
        long status;
        int64_t length;
        std::string body;
        bool follow = true;
        Outcome outcome = Outcome::Completed;
        bool acceptBody = true;
        bool stopOnceBodyArrives = false;
    };
    const std::vector<Case> cases = {
        {"fixed", RawHttpReply::Complete("twelve bytes"), 200, 12, "twelve bytes"},
        {"chunked", chunks, 200, -1, "part one,part two"},
        {"missing", RawHttpReply::Status("404 Not Found", "Content-Length: 4\r\n", "gone"), 404, 4, "gone"},
        {"moved", redirect, 200, -1, "part one,part two"},
        {"moved, not followed", redirect, 302, 42, moved, false},
        {"body refused", RawHttpReply::Stall("first piece"), 200, 23, "first piece", true, Outcome::Aborted,
         false},
        {"stopped while the server stalls", RawHttpReply::Stall("first piece"), 200, 23, "first piece", true,
         Outcome::Aborted, true, true},
    };
    for (const Case& c : cases) {
        RawHttpServer server(c.reply);
        HttpRequest request;
        request.url = server.Url("/");
        request.followRedirects = c.follow;
        RecordingReceiver receiver;
        receiver.acceptBody = c.acceptBody;
        receiver.stopOnceBodyArrives = c.stopOnceBodyArrives;
        const HttpResult result = Perform(request, receiver);
        EXPECT_EQ(result.outcome, c.outcome) << c.label << ": " << result.error;
        EXPECT_EQ(result.status, c.status) << c.label;
        EXPECT_EQ(receiver.starts, 1) << c.label;
        EXPECT_FALSE(receiver.bodyBeforeStart) << c.label;
        EXPECT_EQ(receiver.status, c.status) << c.label;
        EXPECT_EQ(receiver.length, c.length) << c.label;
        EXPECT_EQ(receiver.body, c.body) << c.label;
    }
}

// A request that could inject a header, uses an unknown method or a scheme other than HTTP(S) is
// refused before anything is sent; a server that is gone or goes silent is a failure with a reason.
TEST(HttpTransport, FailuresCarryAnErrorTextAndSendNothingDoubtful) {
    int closedPort = 0;
    {
        RawHttpServer gone(RawHttpReply::EmptyBody());
        closedPort = gone.Port();
    }
    RawHttpServer counting(RawHttpReply::Complete("x"));
    RawHttpServer silent(RawHttpReply::Stall("first piece"));
    ScopedHttpTimeouts shortened({.connectSeconds = 5, .idleSeconds = 1});
    struct Case {
        const char* label;
        std::string url;
        std::string method = "GET";
        std::vector<std::string> headers = {};
        int starts = 0;
    };
    const std::vector<Case> cases = {
        {"connection refused", "http://127.0.0.1:" + std::to_string(closedPort) + "/"},
        {"silent server, given up after the idle time", silent.Url("/"), "GET", {}, 1},
        {"header that could inject another", counting.Url("/"), "GET", {"X-Value: a\r\nX-Injected: b"}},
        {"header with a bare line feed", counting.Url("/"), "GET", {"X-Value: a\nb"}},
        {"unknown method", counting.Url("/"), "DELETE"},
        // WinINet itself would fetch these.
        {"file", "file:///etc/hostname"},
        {"no url", "no url"},
    };
    for (const Case& c : cases) {
        HttpRequest request;
        request.method = c.method;
        request.url = c.url;
        request.headers = c.headers;
        RecordingReceiver receiver;
        const HttpResult result = Perform(request, receiver);
        EXPECT_EQ(result.outcome, Outcome::Failed) << c.label;
        EXPECT_FALSE(result.error.empty()) << c.label;
        EXPECT_EQ(receiver.starts, c.starts) << c.label;
    }
    EXPECT_TRUE(counting.Requests().empty()) << "no request that could inject or is unknown is sent";
}

// A document read into memory ends, failed, once it passes its size or its time; what a server
// sends is never kept beyond the size. (The limit's edges are the update definition's; cut and empty
// bodies the download's and the support call's.)
TEST(HttpTransport, DocumentsStayWithinTheirSizeAndTime) {
    ScopedHttpTimeouts shortened({.connectSeconds = 5, .idleSeconds = 5, .totalSeconds = 1});
    constexpr std::size_t kCap = 100 * 1024;
    for (const RawHttpReply& reply : {RawHttpReply::EndlessBody(), RawHttpReply::HugeLength(),
                                      RawHttpReply::Drip(std::string(160, 'd'))}) {
        RawHttpServer server(reply);
        HttpRequest request;
        request.url = server.Url("/doc.xml");
        request.maxBodyBytes = kCap;
        request.limitTotalTime = true;
        std::string body;
        const HttpResult result = platform::HttpFetch(*platform::CreateHttpTransport(), request, body);
        EXPECT_EQ(result.outcome, Outcome::Failed) << reply.head;
        EXPECT_FALSE(result.error.empty()) << reply.head;
        EXPECT_LE(body.size(), kCap) << reply.head;
    }
}

// Whatever a receiver throws, the transfer ends as a failure and nothing reaches the caller.
TEST(HttpTransport, AnExceptionOfTheReceiverFailsTheTransfer) {
    RawHttpServer server(RawHttpReply::EndlessBody());
    HttpRequest request;
    request.url = server.Url("/");
    for (const int where : {0, 1, 2}) {
        RecordingReceiver receiver;
        receiver.throwAt = where;
        const HttpResult result = Perform(request, receiver);
        EXPECT_EQ(result.outcome, Outcome::Failed) << where;
        EXPECT_FALSE(result.error.empty()) << where;
    }
}

}  // namespace
