#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The one way the program speaks HTTP(S): XML documents loaded from URLs, the support call and the
// installer downloads. libcurl serves it on Linux, WinINet on Windows; both verify TLS and take the
// proxy from the system (on Linux: the usual proxy environment variables).
namespace platform {

struct HttpTimeouts {
    long connectSeconds = 60;
    // The transfer is abandoned when no byte has arrived for this long.
    long idleSeconds = 60;
    // A request with limitTotalTime is abandoned this long after it began, however steadily a
    // server drips its bytes.
    long totalSeconds = 60;
};

struct HttpRequest {
    std::string method = "GET";
    std::string url;
    // Extra header lines, each "Name: value" without line end.
    std::vector<std::string> headers;
    std::string body;
    bool followRedirects = true;
    // Always fetch from the origin server: no cached answer is acceptable.
    bool noCache = false;
    HttpTimeouts timeouts = DefaultHttpTimeouts();
    // A document that is read whole into memory is bounded in size (a body past maxBodyBytes fails
    // the transfer; 0 sets no bound) and in time (limitTotalTime). Downloads go to disk and can be
    // cancelled by the user: they are given up only when they stall.
    std::uint64_t maxBodyBytes = 0;
    bool limitTotalTime = false;
    // With limitTotalTime: the moment the transfer is abandoned, instead of totalSeconds after it
    // began, so that the requests that make up one answer share one deadline.
    std::optional<std::chrono::steady_clock::time_point> deadline;

    // The time-outs new requests start with; tests shorten them.
    static HttpTimeouts& DefaultHttpTimeouts() {
        static HttpTimeouts defaults;
        return defaults;
    }
};

// Receives the response of one exchange while it arrives.
class HttpReceiver {
public:
    virtual ~HttpReceiver() = default;

    // Status and announced length (-1 when the server sends none) of the final response, after
    // redirects, before the first body byte.
    virtual void OnResponseStart(long status, int64_t contentLength) {
        (void)status;
        (void)contentLength;
    }
    // A piece of the body; returning false stops the transfer (a write that failed, a cancel).
    virtual bool OnBody(const char* data, std::size_t size) = 0;
    // Asked often, also while no data flows, so a stalled connection can be given up quickly.
    virtual bool ShouldContinue() { return true; }
};

struct HttpResult {
    enum class Outcome {
        Completed,  // the whole response arrived (whatever its status)
        Failed,     // connection, TLS, time-out or protocol failure; see error
        Aborted,    // the receiver stopped it
    };
    Outcome outcome = Outcome::Failed;
    long status = 0;
    std::string error;

    bool IsSuccess() const { return outcome == Outcome::Completed && status >= 200 && status < 300; }
};

class HttpTransport {
public:
    virtual ~HttpTransport() = default;

    // One exchange. Never throws: a limit of the request that is passed, and anything the receiver
    // or the transport throws, end it as Failed with the reason in the error text.
    HttpResult Perform(const HttpRequest& request, HttpReceiver& receiver) noexcept;

protected:
    // The platform's exchange, without the request's size and time limits; may throw.
    virtual HttpResult Run(const HttpRequest& request, HttpReceiver& receiver) = 0;
};

// The platform's transport. Trusts the system's certificate authorities plus the file named by
// LUMIKARTA_CA_BUNDLE.
std::unique_ptr<HttpTransport> CreateHttpTransport();

// Convenience: the whole body of a response in memory.
HttpResult HttpFetch(HttpTransport& transport, const HttpRequest& request, std::string& body);

}  // namespace platform
