#include <windows.h>

#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/debug_trace.h"
#include "platform/http_request_check.h"
#include "platform/http_transport.h"
#include "platform/wide_text_windows.h"

// WinINet checks certificates against the system's certificate store only; it offers no way to add
// the authorities of a file for one process. LUMIKARTA_CA_BUNDLE, with which the Linux build trusts
// a test service's own authority, therefore has no effect here: such an authority has to be
// imported into the user's or the machine's store instead.

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

constexpr wchar_t kUserAgent[] = L"LumikartaSystemInfo";
// Installers are large; big pieces cost few calls and little locking.
constexpr DWORD kReceiveBufferBytes = 100 * 1024;
// Pieces read ahead of the receiver: the network is read while the receiver writes, in bounded memory.
constexpr std::size_t kMaxQueuedPieces = 4;
// The receiver is asked whether to go on at least this often, also while nothing arrives.
constexpr auto kPollInterval = std::chrono::milliseconds(100);
// A blocking WinINet call returns as soon as another thread closes its handle. Where it does not
// (Wine's WinINet keeps waiting for the server, time-outs or not), the transfer is left to end by
// itself rather than holding up the cancel.
constexpr auto kStopGrace = std::chrono::milliseconds(500);

std::string WinInetErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS;
    HMODULE module = nullptr;
    if (code >= INTERNET_ERROR_BASE && code <= INTERNET_ERROR_LAST) {
        module = GetModuleHandleW(L"wininet.dll");
        flags |= FORMAT_MESSAGE_FROM_HMODULE;
    } else {
        flags |= FORMAT_MESSAGE_FROM_SYSTEM;
    }
    const DWORD length =
        FormatMessageW(flags, module, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (length != 0 && buffer != nullptr) {
        text = Utf8FromWide(std::wstring_view(buffer, length));
    }
    LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "Internet error " + std::to_string(code);
    }
    return text + " (" + std::to_string(code) + ")";
}

DWORD ToMilliseconds(long seconds) {
    constexpr long kMaxSeconds = MAXDWORD / 1000;
    return static_cast<DWORD>(seconds <= 0 ? 0 : std::min(seconds, kMaxSeconds)) * 1000;
}

// What the thread that makes the blocking WinINet calls shares with the caller of Perform, who
// alone talks to the receiver. Shared ownership: when a blocked call does not give way to a cancel,
// the caller returns and the thread ends later on its own.
struct Exchange {
    // Copies: the caller's request may be gone by the time the thread ends.
    HttpRequest request;
    std::wstring url;
    std::wstring headers;
    bool secure = false;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring object;

    std::mutex mutex;
    std::condition_variable changed;
    bool stopping = false;
    // Session, connection, request; each closed once, by whichever side gets to it first.
    HINTERNET handles[3] = {nullptr, nullptr, nullptr};
    bool responseReady = false;
    long status = 0;
    int64_t contentLength = -1;
    std::deque<std::string> pieces;
    bool finished = false;
    bool failed = false;
    std::string error;

    // Keeps a handle the thread opened, or closes it at once when a stop came first.
    bool Register(int slot, HINTERNET handle) {
        {
            std::lock_guard lock(mutex);
            if (!stopping) {
                handles[slot] = handle;
                return true;
            }
        }
        InternetCloseHandle(handle);
        return false;
    }

    // Closing a handle makes a WinINet call that blocks on it return. Closed outside the lock, so
    // the thread whose call returns never waits for it.
    void CloseHandles(bool stop) {
        HINTERNET closing[3] = {nullptr, nullptr, nullptr};
        {
            std::lock_guard lock(mutex);
            stopping = stopping || stop;
            std::swap(closing, handles);
            changed.notify_all();
        }
        for (int slot = 2; slot >= 0; --slot) {
            if (closing[slot] != nullptr) {
                InternetCloseHandle(closing[slot]);
            }
        }
    }

    void Stop() { CloseHandles(true); }

    // None once the handle has been closed.
    HINTERNET Handle(int slot) {
        std::lock_guard lock(mutex);
        return handles[slot];
    }

    void Fail(std::string text) {
        std::lock_guard lock(mutex);
        if (!failed) {
            failed = true;
            error = std::move(text);
        }
    }

    void FailWithLastError() { Fail(WinInetErrorText(GetLastError())); }

    void Finish() {
        CloseHandles(false);
        std::lock_guard lock(mutex);
        finished = true;
        changed.notify_all();
    }
};

constexpr int kSession = 0;
constexpr int kConnection = 1;
constexpr int kRequest = 2;

DWORD RequestFlags(const HttpRequest& request) {
    // The program's transfers never go into the user's browser cache, and an answer from the cache
    // is refused when the request says so. Cookies are not the program's business.
    DWORD flags = INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_CACHE_WRITE |
                  INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
    if (request.noCache) {
        flags |= INTERNET_FLAG_RELOAD;
    }
    if (!request.followRedirects) {
        flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
    }
    return flags;
}

// A limit of 0 or less leaves WinINet's own.
void SetTimeouts(HINTERNET handle, const HttpTimeouts& timeouts) {
    const auto set = [handle](DWORD option, long seconds) {
        DWORD milliseconds = ToMilliseconds(seconds);
        if (milliseconds != 0) {
            InternetSetOptionW(handle, option, &milliseconds, sizeof milliseconds);
        }
    };
    set(INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.connectSeconds);
    set(INTERNET_OPTION_SEND_TIMEOUT, timeouts.idleSeconds);
    set(INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts.idleSeconds);
}

// Takes over a handle that a WinINet call has opened; false, the failure kept, when the call failed
// or a stop came first. The time-outs are set on every handle, since not every WinINet passes them
// down to a handle's children.
bool Adopt(Exchange& x, int slot, HINTERNET handle) {
    if (handle == nullptr) {
        x.FailWithLastError();
        return false;
    }
    SetTimeouts(handle, x.request.timeouts);
    return x.Register(slot, handle);
}

bool OpenSession(Exchange& x) {
    return Adopt(x, kSession, InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
}

bool SendPost(Exchange& x) {
    HINTERNET connection = InternetConnectW(x.Handle(kSession), x.host.c_str(), x.port, nullptr, nullptr,
                                            INTERNET_SERVICE_HTTP, 0, 0);
    if (!Adopt(x, kConnection, connection)) {
        return false;
    }
    const DWORD flags = RequestFlags(x.request) | (x.secure ? INTERNET_FLAG_SECURE : 0);
    HINTERNET request =
        HttpOpenRequestW(connection, L"POST", x.object.c_str(), nullptr, nullptr, nullptr, flags, 0);
    if (!Adopt(x, kRequest, request)) {
        return false;
    }
    const std::string& body = x.request.body;
    if (body.size() > MAXDWORD || !HttpSendRequestW(request, x.headers.empty() ? nullptr : x.headers.c_str(),
                                                    static_cast<DWORD>(x.headers.size()),
                                                    body.empty() ? nullptr : const_cast<char*>(body.data()),
                                                    static_cast<DWORD>(body.size()))) {
        x.FailWithLastError();
        return false;
    }
    return true;
}

bool SendGet(Exchange& x) {
    return Adopt(
        x, kRequest,
        InternetOpenUrlW(x.Handle(kSession), x.url.c_str(), x.headers.empty() ? nullptr : x.headers.c_str(),
                         static_cast<DWORD>(x.headers.size()), RequestFlags(x.request), 0));
}

// Status and announced length of the final response.
void ReadResponseStart(Exchange& x) {
    HINTERNET request = x.Handle(kRequest);
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
        status = 0;
    }
    // As text: not every WinINet answers the 64-bit number form, and installers pass 4 GiB.
    wchar_t text[32] = L"";
    size = sizeof text;
    int64_t length = -1;
    if (HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) {
        wchar_t* end = nullptr;
        const long long parsed = std::wcstoll(text, &end, 10);
        if (end != text && *end == L'\0' && parsed >= 0) {
            length = parsed;
        }
    }
    std::lock_guard lock(x.mutex);
    x.status = static_cast<long>(status);
    x.contentLength = length;
    x.responseReady = true;
    x.changed.notify_all();
}

// Reads what is there as soon as it is there, rather than waiting for a full buffer.
void ReadBody(Exchange& x) {
    int64_t received = 0;
    for (;;) {
        // Taken anew for every call, so a call after a stop does not touch a closed handle.
        HINTERNET request = x.Handle(kRequest);
        if (request == nullptr) {
            return;
        }
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0)) {
            x.FailWithLastError();
            return;
        }
        if (available == 0) {
            break;
        }
        std::string piece(std::min(available, kReceiveBufferBytes), '\0');
        DWORD read = 0;
        if (!InternetReadFile(request, piece.data(), static_cast<DWORD>(piece.size()), &read)) {
            x.FailWithLastError();
            return;
        }
        if (read == 0) {
            break;
        }
        piece.resize(read);
        received += read;
        std::unique_lock lock(x.mutex);
        x.changed.wait(lock, [&x] { return x.stopping || x.pieces.size() < kMaxQueuedPieces; });
        if (x.stopping) {
            return;
        }
        x.pieces.push_back(std::move(piece));
        x.changed.notify_all();
    }
    // WinINet takes a connection closed early for the end of the body; a cut-off installer must
    // not pass for a whole one.
    int64_t announced = -1;
    long status = 0;
    {
        std::lock_guard lock(x.mutex);
        announced = x.contentLength;
        status = x.status;
    }
    const bool bodiless = status == 204 || status == 304;
    if (!bodiless && announced >= 0 && received < announced) {
        x.Fail("The connection closed after " + std::to_string(received) + " of " +
               std::to_string(announced) + " bytes");
    }
}

void RunExchange(const std::shared_ptr<Exchange>& exchange) {
    Exchange& x = *exchange;
    const bool post = x.request.method == "POST";
    // Nothing may escape the thread (it would end the process): a piece that cannot be held, for
    // one, fails the transfer.
    try {
        if (OpenSession(x) && (post ? SendPost(x) : SendGet(x))) {
            ReadResponseStart(x);
            ReadBody(x);
        }
    } catch (const std::exception& failure) {
        x.Fail(std::string("The transfer failed: ") + failure.what());
    } catch (...) {
        x.Fail("The transfer failed");
    }
    x.Finish();
}

// Splits the URL for a connection of its own, and refuses any scheme but http and https (WinINet
// would also fetch ftp and file URLs).
bool CrackUrl(Exchange& x, std::string& error) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (x.url.empty() || !InternetCrackUrlW(x.url.c_str(), static_cast<DWORD>(x.url.size()), 0, &parts)) {
        error = "Malformed URL " + x.request.url;
        return false;
    }
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        error = "Unsupported URL scheme in " + x.request.url;
        return false;
    }
    x.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    x.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    x.port = parts.nPort;
    x.object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo != nullptr) {
        x.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    }
    if (x.object.empty()) {
        x.object = L"/";
    }
    return !x.host.empty();
}

class WinInetTransport final : public HttpTransport {
protected:
    HttpResult Run(const HttpRequest& request, HttpReceiver& receiver) override {
        HttpResult result;
        result.error = HttpRequestRefusal(request);
        if (!result.error.empty()) {
            return result;
        }
        if (std::getenv("LUMIKARTA_CA_BUNDLE") != nullptr) {
            DebugTrace(
                "HTTP: LUMIKARTA_CA_BUNDLE is ignored on Windows; the system's certificate store decides");
        }

        auto exchange = std::make_shared<Exchange>();
        Exchange& x = *exchange;
        x.request = request;
        x.url = WideFromUtf8(request.url);
        std::string headerBlock;
        for (const std::string& line : request.headers) {
            headerBlock += line + "\r\n";
        }
        if (request.noCache) {
            headerBlock += "Cache-Control: no-cache\r\nPragma: no-cache\r\n";
        }
        x.headers = WideFromUtf8(headerBlock);
        if (!CrackUrl(x, result.error)) {
            return result;
        }

        std::thread worker;
        try {
            worker = std::thread(RunExchange, exchange);
        } catch (const std::system_error&) {
            result.error = "Cannot start the HTTP transfer";
            return result;
        }

        const Deliveries delivered = Deliver(x, request.timeouts, receiver);
        if (delivered.stopped || delivered.failure || !delivered.timeoutError.empty()) {
            x.Stop();
        }
        {
            std::unique_lock lock(x.mutex);
            if (!x.changed.wait_for(lock, kStopGrace, [&x] { return x.finished; })) {
                lock.unlock();
                DebugTrace("HTTP: " + request.url + ": the stopped transfer ends in the background");
                worker.detach();
            }
        }
        if (worker.joinable()) {
            worker.join();
        }
        if (delivered.failure) {
            std::rethrow_exception(delivered.failure);
        }

        std::lock_guard lock(x.mutex);
        result.status = x.status;
        if (delivered.stopped) {
            result.outcome = HttpResult::Outcome::Aborted;
        } else if (!delivered.timeoutError.empty()) {
            result.error = delivered.timeoutError;
        } else if (x.failed) {
            result.error = x.error;
        } else {
            result.outcome = HttpResult::Outcome::Completed;
        }
        DebugTrace("HTTP " + request.method + " " + request.url + ": status " +
                   std::to_string(result.status) + (result.error.empty() ? "" : ", " + result.error));
        return result;
    }

private:
    struct Deliveries {
        bool stopped = false;
        // A receiver's exception is thrown again once the transfer has been wound up.
        std::exception_ptr failure;
        std::string timeoutError;
    };

    // Hands the response to the receiver on the calling thread, and asks it whether to go on at
    // least every kPollInterval, until the exchange ends or the receiver stops it.
    static Deliveries Deliver(Exchange& x, const HttpTimeouts& timeouts, HttpReceiver& receiver) {
        Deliveries outcome;
        bool started = false;
        auto lastActivity = Clock::now();
        auto lastPoll = Clock::now();
        std::unique_lock lock(x.mutex);
        const auto call = [&](auto&& receive) {
            lock.unlock();
            bool go = false;
            try {
                go = receive();
            } catch (...) {
                outcome.failure = std::current_exception();
            }
            lock.lock();
            outcome.stopped = !go && !outcome.failure;
            return go;
        };
        for (;;) {
            if (x.responseReady && !started) {
                started = true;
                lastActivity = Clock::now();
                const long status = x.status;
                const int64_t length = x.contentLength;
                if (!call([&] {
                        receiver.OnResponseStart(status, length);
                        return true;
                    })) {
                    return outcome;
                }
                continue;
            }
            const bool pieceWaiting = !x.pieces.empty();
            if (pieceWaiting) {
                std::string piece = std::move(x.pieces.front());
                x.pieces.pop_front();
                x.changed.notify_all();
                lastActivity = Clock::now();
                if (!call([&] { return receiver.OnBody(piece.data(), piece.size()); })) {
                    return outcome;
                }
            } else if (x.finished) {
                return outcome;
            }
            if (!pieceWaiting || Clock::now() - lastPoll >= kPollInterval) {
                lastPoll = Clock::now();
                if (!call([&] { return receiver.ShouldContinue(); })) {
                    return outcome;
                }
            }
            if (pieceWaiting) {
                continue;
            }
            // WinINet has the same limits; this holds them also where its own time-outs do not act.
            const long limit =
                started ? timeouts.idleSeconds : timeouts.connectSeconds + timeouts.idleSeconds;
            if (timeouts.idleSeconds > 0 && Clock::now() - lastActivity > std::chrono::seconds(limit)) {
                outcome.timeoutError =
                    "Timed out: nothing received for " + std::to_string(limit) + " seconds";
                return outcome;
            }
            x.changed.wait_for(lock, kPollInterval, [&x, started] {
                return x.finished || !x.pieces.empty() || (x.responseReady && !started);
            });
        }
    }
};

}  // namespace

std::unique_ptr<HttpTransport> CreateHttpTransport() {
    return std::make_unique<WinInetTransport>();
}

}  // namespace platform
