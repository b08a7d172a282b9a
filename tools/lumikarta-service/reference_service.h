#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
}  // namespace httplib

class DownloadFiles;
class FaqPage;
class RequestStore;
class SupportEndpoint;

struct ReferenceServiceOptions {
    // 0: any free port; Port() tells which one after Start().
    int port = 0;
    // HTTPS with the service's own certificate authority (see ServiceCertificate), else plain HTTP.
    bool https = true;
    // Certificates and stored requests; made on the first start.
    std::filesystem::path dataFolder;
    // Where faq.html may lie; empty: the built-in page.
    std::filesystem::path siteFolder;
    // Served below /downloads/ (see DownloadFiles); empty: no downloads.
    std::filesystem::path downloadsFolder;
    // The pace of the installers in bytes per second; 0: full speed.
    std::size_t downloadBytesPerSecond = 0;
    // How long a client may keep the service waiting in the middle of a request.
    std::chrono::milliseconds readTimeout{5000};
    // The private key (PEM) that signs the definitions served without a signature file of their
    // own; empty: such are served without a signature.
    std::filesystem::path signingKey;
};

// The reference support web service on 127.0.0.1: the sendSupportCall endpoint, the FAQ page and
// the update downloads.
// It is the peer of the program's network tests and of the demo. It listens on the loopback
// address only, since it accepts personal data and has no other protection. All members may be
// called from any thread.
class ReferenceService {
public:
    static constexpr const char* kHost = "127.0.0.1";

    explicit ReferenceService(ReferenceServiceOptions options);
    // Stops the service when it runs.
    ~ReferenceService();
    ReferenceService(const ReferenceService&) = delete;
    ReferenceService& operator=(const ReferenceService&) = delete;

    // Makes the data folder, the certificates (HTTPS) and the request folder, binds to 127.0.0.1 and
    // serves on threads of its own. Throws std::runtime_error when any of that fails, when a
    // downloads folder is given that is not a folder, a signing key that is not a P-256 private key,
    // or when the service already runs.
    void Start();
    // Stops accepting, lets the requests under way finish (downloads end at once, stalled ones
    // included) and returns when every thread has ended.
    // Does nothing when the service does not run; it may be started again.
    void Stop();

    // The port bound by the last Start(); 0 before.
    int Port() const;
    // "https://127.0.0.1:PORT" or "http://127.0.0.1:PORT": what LUMIKARTA_SUPPORT_URL takes.
    std::string BaseUrl() const;
    // The certificate clients must trust; empty for plain HTTP.
    std::filesystem::path CaFile() const;
    // Where the accepted requests are written.
    std::filesystem::path RequestsFolder() const;

    // $XDG_STATE_HOME/lumikarta-service, else ~/.local/state/lumikarta-service. Throws
    // std::runtime_error when there is no home folder to put it in.
    static std::filesystem::path DefaultDataFolder();

private:
    void Route();
    std::string BaseUrlLocked() const;
    // Drops the server and what its handlers use; m_mutex held.
    void Release();

    const ReferenceServiceOptions m_options;
    mutable std::mutex m_mutex;
    std::unique_ptr<RequestStore> m_store;
    std::unique_ptr<SupportEndpoint> m_endpoint;
    std::unique_ptr<FaqPage> m_faq;
    std::unique_ptr<DownloadFiles> m_downloads;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    std::filesystem::path m_caFile;
    int m_port = 0;
};
