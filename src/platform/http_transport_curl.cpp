#include <curl/curl.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include <chrono>
#include <cstdlib>
#include <exception>
#include <mutex>

#include "platform/debug_trace.h"
#include "platform/http_request_check.h"
#include "platform/http_transport.h"

namespace platform {
namespace {

constexpr long kMaxRedirects = 10;
// Installers are large; bigger pieces than libcurl's default 16 KiB cost far fewer receive calls.
constexpr long kReceiveBufferBytes = 100 * 1024;
// While nothing arrives, libcurl itself asks about a cancel only once a second; this bounds it.
constexpr int kPollMilliseconds = 100;
constexpr const char* kCaBundleVariable = "LUMIKARTA_CA_BUNDLE";

struct CurlEasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct CurlMultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;
using CurlMulti = std::unique_ptr<CURLM, CurlMultiDeleter>;

// What the libcurl callbacks of one Perform share with it.
struct Transfer {
    Transfer(CURL* handle, HttpReceiver& target) : curl(handle), receiver(target) {}

    CURL* curl;
    HttpReceiver& receiver;
    bool responseStarted = false;
    bool stopped = false;
    // When a byte last went either way, and how many had gone by then.
    std::chrono::steady_clock::time_point lastActivity = std::chrono::steady_clock::now();
    curl_off_t bytesSeen = 0;
    // A receiver's exception must not unwind through libcurl; it is thrown again after the transfer.
    std::exception_ptr failure;

    void StartResponse() {
        if (responseStarted) {
            return;
        }
        responseStarted = true;
        long status = 0;
        curl_off_t length = -1;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        receiver.OnResponseStart(status, length);
    }

    template <typename Call>
    bool Continue(Call call) {
        try {
            // libcurl may still poll after a refused write; a stop stays a stop.
            stopped = stopped || !call();
        } catch (...) {
            failure = std::current_exception();
            stopped = true;
        }
        return !stopped;
    }
};

// libcurl hands over only the body of the final response when it follows redirects, so the first
// piece marks the start of that response.
std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* userData) {
    auto& transfer = *static_cast<Transfer*>(userData);
    const std::size_t bytes = size * count;
    transfer.lastActivity = std::chrono::steady_clock::now();
    const bool go = transfer.Continue([&] {
        transfer.StartResponse();
        return transfer.receiver.OnBody(data, bytes);
    });
    return go ? bytes : 0;
}

// Called at least once a second, also while no byte arrives.
int PollReceiver(void* userData, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent) {
    auto& transfer = *static_cast<Transfer*>(userData);
    if (received + sent != transfer.bytesSeen) {
        transfer.bytesSeen = received + sent;
        transfer.lastActivity = std::chrono::steady_clock::now();
    }
    return transfer.Continue([&] { return transfer.receiver.ShouldContinue(); }) ? 0 : 1;
}

// curl_easy_perform, but the receiver is asked whether to go on at least every kPollMilliseconds,
// so a cancel of a stalled transfer takes effect quickly, and a transfer through which nothing has
// gone for the idle time (before the response, the connect time too) ends then. libcurl's own
// low-speed check averages over a window of its own and ends such a transfer seconds later.
CURLcode PerformPolled(CURL* handle, Transfer& transfer, const HttpTimeouts& timeouts) {
    CurlMulti multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), handle) != CURLM_OK) {
        return CURLE_OUT_OF_MEMORY;
    }
    CURLcode code = CURLE_OK;
    for (int running = 1; running != 0;) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            code = CURLE_RECV_ERROR;
            break;
        }
        if (running != 0 && !transfer.Continue([&] { return transfer.receiver.ShouldContinue(); })) {
            code = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        const long idleLimit =
            transfer.responseStarted ? timeouts.idleSeconds : timeouts.connectSeconds + timeouts.idleSeconds;
        if (running != 0 && timeouts.idleSeconds > 0 &&
            std::chrono::steady_clock::now() - transfer.lastActivity > std::chrono::seconds(idleLimit)) {
            code = CURLE_OPERATION_TIMEDOUT;
            break;
        }
        if (running != 0 &&
            curl_multi_poll(multi.get(), nullptr, 0, kPollMilliseconds, nullptr) != CURLM_OK) {
            code = CURLE_RECV_ERROR;
            break;
        }
    }
    int left = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == handle) {
            code = message->data.result;
        }
    }
    curl_multi_remove_handle(multi.get(), handle);
    return code;
}

// Adds the authorities of the extra bundle to those libcurl already loaded from the system.
CURLcode AddExtraAuthorities(CURL*, void* sslContext, void* bundlePath) {
    X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslContext));
    if (X509_STORE_load_file(store, static_cast<const char*>(bundlePath)) != 1) {
        ERR_clear_error();
        DebugTrace(std::string("HTTP: cannot load the certificates of ") +
                   static_cast<const char*>(bundlePath));
        return CURLE_SSL_CACERT_BADFILE;
    }
    return CURLE_OK;
}

class CurlTransport final : public HttpTransport {
public:
    CurlTransport() {
        static std::once_flag once;
        std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    }

protected:
    HttpResult Run(const HttpRequest& request, HttpReceiver& receiver) override {
        HttpResult result;
        result.error = HttpRequestRefusal(request);
        if (!result.error.empty()) {
            return result;
        }
        const bool post = request.method == "POST";

        CurlList headers;
        const auto addHeader = [&headers](const char* line) {
            curl_slist* extended = curl_slist_append(headers.get(), line);
            if (extended == nullptr) {
                return false;
            }
            // The list keeps its head, so ownership moves over without freeing it.
            (void)headers.release();
            headers.reset(extended);
            return true;
        };
        for (const std::string& line : request.headers) {
            if (!addHeader(line.c_str())) {
                result.error = "Out of memory";
                return result;
            }
        }
        // Some servers and proxies answer "100-continue" slowly or not at all. The rest as WinINet
        // sends it: accept types for a URL it opens, none for a POST, and the connection kept.
        bool headersComplete = addHeader("Expect:") && (!post || addHeader("Accept:"));
        if (request.noCache) {
            headersComplete =
                headersComplete && addHeader("Cache-Control: no-cache") && addHeader("Pragma: no-cache");
        }
        headersComplete = headersComplete && addHeader("Connection: Keep-Alive");

        CurlEasy curl(curl_easy_init());
        if (!curl || !headersComplete) {
            result.error = "Cannot set up the HTTP transfer";
            return result;
        }
        CURL* handle = curl.get();
        char errorText[CURL_ERROR_SIZE] = "";
        Transfer transfer(handle, receiver);

        curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
        curl_easy_setopt(handle, CURLOPT_URL, request.url.c_str());
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
        // A redirect never gives up the protection the request started with.
        const bool secure = request.url.size() >= 6 && curl_strnequal(request.url.c_str(), "https:", 6);
        curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
        curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(handle, CURLOPT_USERAGENT, "LumikartaSystemInfo");
        // The service and the update server are spoken to in HTTP/1.1, as WinINet does, also where
        // they would offer HTTP/2.
        curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
        curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
        if (post) {
            curl_easy_setopt(handle, CURLOPT_POST, 1L);
            curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(request.body.size()));
            curl_easy_setopt(handle, CURLOPT_POSTFIELDS, request.body.data());
        } else {
            curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
        }
        curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
        curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
        curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, request.timeouts.connectSeconds);
        curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteBody);
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
        curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, PollReceiver);
        curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);

        const char* caBundle = std::getenv(kCaBundleVariable);
        const std::string extraAuthorities = caBundle != nullptr ? caBundle : "";
        if (!extraAuthorities.empty()) {
            const CURLcode set = curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, AddExtraAuthorities);
            curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, extraAuthorities.c_str());
            if (set != CURLE_OK) {
                result.error = std::string(kCaBundleVariable) + " is not supported by this libcurl";
                return result;
            }
        }

        const CURLcode code = PerformPolled(handle, transfer, request.timeouts);
        if (transfer.failure) {
            std::rethrow_exception(transfer.failure);
        }
        curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &result.status);
        if (transfer.stopped) {
            result.outcome = HttpResult::Outcome::Aborted;
        } else if (code == CURLE_OK) {
            transfer.StartResponse();
            result.outcome = HttpResult::Outcome::Completed;
        } else {
            result.error = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
        }
        DebugTrace("HTTP " + request.method + " " + request.url + ": status " +
                   std::to_string(result.status) + (result.error.empty() ? "" : ", " + result.error));
        return result;
    }
};

}  // namespace

std::unique_ptr<HttpTransport> CreateHttpTransport() {
    return std::make_unique<CurlTransport>();
}

}  // namespace platform
