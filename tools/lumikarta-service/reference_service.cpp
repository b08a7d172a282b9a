#include "lumikarta-service/reference_service.h"

#include <httplib.h>
#include <pwd.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "lumikarta-service/download_files.h"
#include "lumikarta-service/faq_page.h"
#include "lumikarta-service/request_store.h"
#include "lumikarta-service/service_certificate.h"
#include "lumikarta-service/support_endpoint.h"
#include "lumikarta-service/update_signing_key.h"

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kPlain = "text/plain; charset=utf-8";

// httplib takes route patterns as regular expressions; the paths are meant literally.
std::string LiteralPattern(std::string_view path) {
    std::string pattern;
    for (const char c : path) {
        if (c == '.') {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern;
}

void PlainAnswer(httplib::Response& response, int status, const char* text) {
    response.status = status;
    response.set_content(text, kPlain);
}

// The folder holds private keys and customers' data; one the service makes is for its user only.
void MakeDataFolder(const std::filesystem::path& folder) {
    if (folder.empty()) {
        throw std::runtime_error("no data folder given");
    }
    if (folder.has_parent_path()) {
        std::filesystem::create_directories(folder.parent_path());
    }
    if (std::filesystem::create_directory(folder)) {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    }
}

}  // namespace

ReferenceService::ReferenceService(ReferenceServiceOptions options) : m_options(std::move(options)) {}

ReferenceService::~ReferenceService() {
    Stop();
}

std::filesystem::path ReferenceService::DefaultDataFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    // A relative XDG_STATE_HOME is invalid and to be ignored.
    if (state != nullptr && std::filesystem::path(state).is_absolute()) {
        return std::filesystem::path(state) / "lumikarta-service";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home == nullptr || *home == '\0') {
        throw std::runtime_error("no home folder for the data folder; give --data");
    }
    return std::filesystem::path(home) / ".local" / "state" / "lumikarta-service";
}

void ReferenceService::Start() {
    std::lock_guard lock(m_mutex);
    if (m_server) {
        throw std::runtime_error("the service runs already");
    }
    try {
        // Said at once: a mistyped folder would otherwise only show as 404s to the clients.
        if (!m_options.downloadsFolder.empty() && !std::filesystem::is_directory(m_options.downloadsFolder)) {
            throw std::runtime_error("not a folder: " + m_options.downloadsFolder.string());
        }
        std::optional<UpdateSigningKey> signingKey;
        if (!m_options.signingKey.empty()) {
            signingKey = UpdateSigningKey::Read(m_options.signingKey);
            if (!signingKey) {
                throw std::runtime_error("not a P-256 private key: " + m_options.signingKey.string());
            }
        }
        MakeDataFolder(m_options.dataFolder);
        std::unique_ptr<httplib::Server> server;
        std::filesystem::path caFile;
        if (m_options.https) {
            const ServiceCertificate certificate(m_options.dataFolder);
            server = std::make_unique<httplib::SSLServer>(certificate.CertificateFile().c_str(),
                                                          certificate.KeyFile().c_str());
            if (!server->is_valid()) {
                throw std::runtime_error("cannot set up TLS with " + certificate.CertificateFile().string());
            }
            caFile = certificate.CaFile();
        } else {
            server = std::make_unique<httplib::Server>();
        }
        m_store = std::make_unique<RequestStore>(m_options.dataFolder / "requests");
        m_endpoint = std::make_unique<SupportEndpoint>(*m_store);
        m_faq = std::make_unique<FaqPage>(m_options.siteFolder);
        if (!m_options.downloadsFolder.empty()) {
            m_downloads = std::make_unique<DownloadFiles>(
                m_options.downloadsFolder, m_options.downloadBytesPerSecond, std::move(signingKey));
        }
        m_server = std::move(server);
        m_caFile = std::move(caFile);
    } catch (const std::filesystem::filesystem_error& error) {
        throw std::runtime_error(error.what());
    }
    Route();

    const int port = m_options.port == 0
                         ? m_server->bind_to_any_port(kHost)
                         : (m_server->bind_to_port(kHost, m_options.port) ? m_options.port : -1);
    if (port <= 0) {
        Release();
        throw std::runtime_error(std::string("cannot listen on ") + kHost + ":" +
                                 std::to_string(m_options.port));
    }
    m_port = port;
    if (m_downloads) {
        m_downloads->SetBaseUrl(BaseUrlLocked());
    }
    httplib::Server* server = m_server.get();
    auto listenEnded = std::make_shared<std::atomic<bool>>(false);
    m_thread = std::thread([server, listenEnded] {
        server->listen_after_bind();
        *listenEnded = true;
    });
    // stop() does nothing to a server that does not run yet, so Stop() could wait forever.
    while (!server->is_running()) {
        if (*listenEnded) {
            m_thread.join();
            Release();
            throw std::runtime_error("the service did not start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void ReferenceService::Route() {
    httplib::Server& server = *m_server;
    const SupportEndpoint& endpoint = *m_endpoint;
    const FaqPage& faq = *m_faq;
    const DownloadFiles* downloads = m_downloads.get();

    // Settled before any body is read: only the known resources get that far, and a body whose
    // length is not stated is never read.
    server.set_pre_routing_handler([downloads](const httplib::Request& request, httplib::Response& response) {
        if (request.path == SupportEndpoint::kPath) {
            if (request.method != "POST") {
                response.set_header("Allow", "POST");
                SupportEndpoint::Fault(response, 405, "soap:Client", "sendSupportCall takes POST only");
                return httplib::Server::HandlerResponse::Handled;
            }
            return SupportEndpoint::AdmitFraming(request, response)
                       ? httplib::Server::HandlerResponse::Unhandled
                       : httplib::Server::HandlerResponse::Handled;
        }
        if (request.path == FaqPage::kPath ||
            (downloads != nullptr && request.path.starts_with(DownloadFiles::kPrefix))) {
            if (request.method == "GET" || request.method == "HEAD") {
                return httplib::Server::HandlerResponse::Unhandled;
            }
            response.set_header("Allow", "GET, HEAD");
            PlainAnswer(response, 405, "Method not allowed\n");
            return httplib::Server::HandlerResponse::Handled;
        }
        PlainAnswer(response, 404, "Not found\n");
        return httplib::Server::HandlerResponse::Handled;
    });
    server.Post(LiteralPattern(SupportEndpoint::kPath),
                [&endpoint](const httplib::Request& request, httplib::Response& response) {
                    endpoint.Handle(request, response);
                });
    server.Get(LiteralPattern(FaqPage::kPath), [&faq](const httplib::Request&, httplib::Response& response) {
        response.set_content(faq.Html(), kHtml);
    });
    if (downloads != nullptr) {
        // Any name: DownloadFiles tells the files of its folder from everything else.
        server.Get(std::string(DownloadFiles::kPrefix) + R"([\s\S]*)",
                   [downloads](const httplib::Request& request, httplib::Response& response) {
                       downloads->Handle(request, response);
                   });
    }

    // Answers the HTTP layer gives on its own: a body over the limit (413) or one that ended before
    // its Content-Length (400). The endpoint's client reads SOAP, so it gets a fault there too.
    server.set_error_handler(httplib::Server::HandlerWithResponse(
        [](const httplib::Request& request, httplib::Response& response) {
            if (!response.body.empty()) {
                return httplib::Server::HandlerResponse::Unhandled;
            }
            if (request.path != SupportEndpoint::kPath) {
                PlainAnswer(response, response.status, "Bad request\n");
            } else if (response.status == 413) {
                SupportEndpoint::Fault(response, 413, "soap:Client", "the body is larger than 1 MiB");
            } else {
                SupportEndpoint::Fault(response, response.status, "soap:Client",
                                       "the body could not be read as long as Content-Length says");
            }
            return httplib::Server::HandlerResponse::Handled;
        }));
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
            SupportEndpoint::Fault(response, 500, "soap:Server", "internal error");
        });

    // httplib would also set SO_REUSEPORT, which lets a second service bind the same port and take
    // part of the requests unnoticed. Only the quick restart is wanted.
    server.set_socket_options([](socket_t socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server.set_payload_max_length(SupportEndpoint::kMaxBodyBytes);
    server.set_read_timeout(m_options.readTimeout);
    // One request per connection: a request refused before its body was read leaves no rest of it
    // to be taken for the next request.
    server.set_keep_alive_max_count(1);
}

void ReferenceService::Stop() {
    std::lock_guard lock(m_mutex);
    if (!m_server) {
        return;
    }
    // A stalled download would keep its worker, and so the server, from ever finishing.
    if (m_downloads) {
        m_downloads->Stop();
    }
    m_server->stop();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    Release();
}

void ReferenceService::Release() {
    // The server first: listen_after_bind has waited for its workers, so no handler uses the rest.
    m_server.reset();
    m_endpoint.reset();
    m_faq.reset();
    m_downloads.reset();
    m_store.reset();
}

int ReferenceService::Port() const {
    std::lock_guard lock(m_mutex);
    return m_port;
}

std::string ReferenceService::BaseUrl() const {
    std::lock_guard lock(m_mutex);
    return BaseUrlLocked();
}

std::string ReferenceService::BaseUrlLocked() const {
    return std::string(m_options.https ? "https" : "http") + "://" + kHost + ":" + std::to_string(m_port);
}

std::filesystem::path ReferenceService::CaFile() const {
    std::lock_guard lock(m_mutex);
    return m_caFile;
}

std::filesystem::path ReferenceService::RequestsFolder() const {
    return m_options.dataFolder / "requests";
}
