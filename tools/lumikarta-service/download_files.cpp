#include "lumikarta-service/download_files.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kOctetStream = "application/octet-stream";
constexpr const char* kXml = "application/xml; charset=utf-8";
constexpr const char* kPlain = "text/plain; charset=utf-8";
constexpr std::string_view kBaseUrlMark = "{{BASE_URL}}";
// Definitions are read whole to fill in the base URL; one this large is a mistake, not a definition.
constexpr std::size_t kMaxDefinitionBytes = std::size_t{4} << 20;
constexpr std::size_t kPieceBytes = 64 * 1024;
// A paced download sends one piece each interval.
constexpr auto kPacingInterval = std::chrono::milliseconds(100);
constexpr std::size_t kPiecesPerSecond = 10;
// How often a held transfer looks whether its client is still there; Stop() does not wait for it.
constexpr std::chrono::milliseconds kHoldPoll{100};

// One name of the folder itself. Control characters are refused too: a NUL would cut the name short
// when the file is opened and so reach another file than the one asked for.
bool IsPlainName(std::string_view name) {
    if (name.empty() || name.front() == '.') {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte == '/' || byte == '\\' || byte < 0x20 || byte == 0x7f;
    });
}

bool HasExtension(std::string_view name, std::string_view extension) {
    if (name.size() <= extension.size()) {
        return false;
    }
    const std::string_view end = name.substr(name.size() - extension.size());
    return std::equal(end.begin(), end.end(), extension.begin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

constexpr std::string_view kSignatureExtension = ".sig";

bool IsDefinition(std::string_view name) {
    return HasExtension(name, ".xml");
}

void PlainAnswer(httplib::Response& response, int status, const char* text) {
    response.status = status;
    response.set_content(text, kPlain);
}

// What one response sends: the open file, or the filled-in text of a definition. Each response has
// its own, used by the one thread that writes that response.
struct Body {
    Body() = default;
    Body(const Body&) = delete;
    Body& operator=(const Body&) = delete;
    ~Body() {
        if (fd >= 0) {
            close(fd);
        }
    }

    // Up to `length` bytes from `offset` into `sink`; false when the file ended early (it shrank
    // after the length was announced), could not be read, or the client is gone.
    bool Send(std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        length = std::min({length, kPieceBytes, size - offset});
        if (fd < 0) {
            return sink.write(text.data() + offset, length);
        }
        buffer.resize(kPieceBytes);
        const ssize_t got = pread(fd, buffer.data(), length, static_cast<off_t>(offset));
        return got > 0 && sink.write(buffer.data(), static_cast<std::size_t>(got));
    }

    int fd = -1;
    std::string text;
    std::size_t size = 0;
    std::vector<char> buffer;
};

// Opens a plain file of the folder; false for anything else. Non-blocking, since opening a FIFO for
// reading would otherwise wait for a writer.
bool OpenPlainFile(const std::filesystem::path& folder, const std::string& name, Body& body) {
    struct stat status {};
    if (IsPlainName(name)) {
        body.fd = open((folder / name).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    }
    if (body.fd < 0 || fstat(body.fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    body.size = static_cast<std::size_t>(status.st_size);
    return true;
}

bool ReadWhole(int fd, std::size_t size, std::string& text) {
    text.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = pread(fd, text.data() + done, size - done, static_cast<off_t>(done));
        if (got <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

void ReplaceAll(std::string& text, std::string_view mark, const std::string& value) {
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size())) {
        text.replace(at, mark.size(), value);
    }
}

// A definition's text as it is served: read whole, every {{BASE_URL}} filled in.
bool FillIn(Body& body, const std::string& baseUrl) {
    if (body.size > kMaxDefinitionBytes || !ReadWhole(body.fd, body.size, body.text)) {
        return false;
    }
    close(body.fd);
    body.fd = -1;
    ReplaceAll(body.text, kBaseUrlMark, baseUrl);
    body.size = body.text.size();
    return true;
}

// The socket of the request's connection. httplib does not hand it to handlers, but the connection
// is the only one with this pair of ports, and its socket stays open while its response is written.
int ConnectionSocket(const httplib::Request& request) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const int fd = std::atoi(entry.path().filename().c_str());
        sockaddr_in local{};
        sockaddr_in peer{};
        socklen_t localLength = sizeof local;
        socklen_t peerLength = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) != 0 ||
            local.sin_family != AF_INET || ntohs(local.sin_port) != request.local_port ||
            getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0 ||
            ntohs(peer.sin_port) != request.remote_port) {
            continue;
        }
        char address[INET_ADDRSTRLEN] = {};
        if (inet_ntop(AF_INET, &peer.sin_addr, address, sizeof address) != nullptr &&
            request.remote_addr == address) {
            return fd;
        }
    }
    return -1;
}

bool ClientGone(int socket) {
    pollfd watch{socket, POLLRDHUP, 0};
    return poll(&watch, 1, 0) > 0 && (watch.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace

DownloadFiles::DownloadFiles(std::filesystem::path folder, std::size_t bytesPerSecond,
                             std::optional<UpdateSigningKey> signingKey)
    : m_folder(std::move(folder)), m_bytesPerSecond(bytesPerSecond), m_signingKey(std::move(signingKey)) {}

void DownloadFiles::SetBaseUrl(std::string baseUrl) {
    std::lock_guard lock(m_mutex);
    m_baseUrl = std::move(baseUrl);
}

void DownloadFiles::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_stopped.notify_all();
}

bool DownloadFiles::Stopping() const {
    std::lock_guard lock(m_mutex);
    return m_stopping;
}

bool DownloadFiles::Pause() const {
    std::unique_lock lock(m_mutex);
    return !m_stopped.wait_for(lock, kPacingInterval, [this] { return m_stopping; });
}

void DownloadFiles::Hold(int socket) const {
    std::unique_lock lock(m_mutex);
    while (!m_stopped.wait_for(lock, kHoldPoll, [this] { return m_stopping; })) {
        if (socket >= 0 && ClientGone(socket)) {
            return;
        }
    }
}

void DownloadFiles::Handle(const httplib::Request& request, httplib::Response& response) const {
    const std::string name = request.path.substr(std::string_view(kPrefix).size());
    auto body = std::make_shared<Body>();
    const char* type = kOctetStream;
    std::string baseUrl;
    {
        std::lock_guard lock(m_mutex);
        baseUrl = m_baseUrl;
    }
    const bool signature = HasExtension(name, kSignatureExtension);
    if (!OpenPlainFile(m_folder, name, *body)) {
        const std::string definition = name.substr(0, name.size() - kSignatureExtension.size());
        Body signedBody;
        if (!signature || !m_signingKey || !IsDefinition(definition) ||
            !OpenPlainFile(m_folder, definition, signedBody)) {
            PlainAnswer(response, 404, "Not found\n");
            return;
        }
        if (!FillIn(signedBody, baseUrl)) {
            PlainAnswer(response, 500, "The definition could not be read\n");
            return;
        }
        if (body->fd >= 0) {
            close(body->fd);
            body->fd = -1;
        }
        body->text = m_signingKey->SignatureText(signedBody.text);
        body->size = body->text.size();
        type = kPlain;
    } else if (IsDefinition(name)) {
        if (!FillIn(*body, baseUrl)) {
            PlainAnswer(response, 500, "The definition could not be read\n");
            return;
        }
        type = kXml;
    }

    const bool chunked = request.get_param_value("chunked") == "1";
    const bool stall = request.get_param_value("stall") == "1";
    const bool cut = request.get_param_value("cut") == "1";
    if (body->size == 0 && !chunked) {
        // A provider of length 0 would leave out Content-Length: 0.
        response.set_content(std::string(), type);
        return;
    }
    // A stalled or cut transfer always holds back at least the last byte, so a client never sees it end.
    const std::size_t end =
        (stall || cut) && body->size > 0 ? std::min(kStallAfterBytes, body->size - 1) : body->size;
    const int socket = stall ? ConnectionSocket(request) : -1;
    // Definitions and their signatures come at once: the program waits for them before its window opens.
    const bool paced = m_bytesPerSecond > 0 && !signature && !IsDefinition(name);
    const std::size_t piece =
        paced ? std::max<std::size_t>(m_bytesPerSecond / kPiecesPerSecond, 1) : kPieceBytes;
    auto send = [this, body, end, cut, socket, paced, piece](std::size_t offset, std::size_t length,
                                                             httplib::DataSink& sink) {
        if (Stopping()) {
            return false;
        }
        if (offset < end) {
            return (!paced || Pause()) && body->Send(offset, std::min({length, end - offset, piece}), sink);
        }
        if (offset >= body->size) {
            sink.done();
            return true;
        }
        if (!cut) {
            Hold(socket);
        }
        return false;
    };
    if (chunked) {
        response.set_chunked_content_provider(type, [send](std::size_t offset, httplib::DataSink& sink) {
            return send(offset, kPieceBytes, sink);
        });
    } else {
        response.set_content_provider(body->size, type, send);
    }
}
