#include <chrono>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "platform/debug_trace.h"
#include "platform/http_transport.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// Stands between the platform's transport and the caller's receiver and stops the transfer once it
// passes the request's limits, so both platforms hold them alike. The transports ask
// ShouldContinue often, also while nothing arrives, which is what makes the deadline hold against
// a server that drips.
class BoundedReceiver final : public HttpReceiver {
public:
    BoundedReceiver(const HttpRequest& request, HttpReceiver& receiver)
        : m_receiver(receiver),
          m_maxBytes(request.maxBodyBytes),
          m_totalSeconds(request.timeouts.totalSeconds) {
        if (request.limitTotalTime) {
            m_deadline = request.deadline.value_or(Clock::now() + std::chrono::seconds(m_totalSeconds));
        }
    }

    void OnResponseStart(long status, int64_t contentLength) override {
        // Refused before any of it arrives; the next question to the receiver stops it.
        if (m_maxBytes != 0 && contentLength > 0 && static_cast<uint64_t>(contentLength) > m_maxBytes) {
            Breach("The answer announces " + std::to_string(contentLength) + " bytes, more than the " +
                   std::to_string(m_maxBytes) + " accepted");
        }
        m_receiver.OnResponseStart(status, contentLength);
    }

    bool OnBody(const char* data, std::size_t size) override {
        if (m_maxBytes != 0 && size > m_maxBytes - m_received) {
            Breach("The answer is longer than the " + std::to_string(m_maxBytes) + " bytes accepted");
        }
        if (!WithinLimits()) {
            return false;
        }
        m_received += size;
        return m_receiver.OnBody(data, size);
    }

    bool ShouldContinue() override { return WithinLimits() && m_receiver.ShouldContinue(); }

    // Why the transfer was stopped; empty while it kept its limits.
    const std::string& Breach() const { return m_breach; }

private:
    bool WithinLimits() {
        if (m_breach.empty() && m_deadline && Clock::now() >= *m_deadline) {
            Breach("No complete answer within " + std::to_string(m_totalSeconds) + " seconds");
        }
        return m_breach.empty();
    }

    void Breach(std::string reason) {
        if (m_breach.empty()) {
            m_breach = std::move(reason);
        }
    }

    HttpReceiver& m_receiver;
    uint64_t m_maxBytes;
    long m_totalSeconds;
    std::optional<Clock::time_point> m_deadline;
    uint64_t m_received = 0;
    std::string m_breach;
};

HttpResult Failure(const char* what, const char* detail) noexcept {
    HttpResult result;
    try {
        result.error = std::string(what) + detail;
        DebugTrace("HTTP: " + result.error);
    } catch (...) {
        // Out of memory even for the text: the outcome alone still tells the caller.
    }
    return result;
}

}  // namespace

HttpResult HttpTransport::Perform(const HttpRequest& request, HttpReceiver& receiver) noexcept {
    try {
        BoundedReceiver bounded(request, receiver);
        HttpResult result = Run(request, bounded);
        if (!bounded.Breach().empty()) {
            result.outcome = HttpResult::Outcome::Failed;
            result.error = bounded.Breach();
            DebugTrace("HTTP " + request.url + ": " + result.error);
        }
        return result;
    } catch (const std::exception& failure) {
        return Failure("The transfer failed: ", failure.what());
    } catch (...) {
        return Failure("The transfer failed", "");
    }
}

}  // namespace platform
