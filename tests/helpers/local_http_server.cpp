#include "helpers/local_http_server.h"

#include <stdexcept>

#include "lumikarta-service/service_certificate.h"

LocalHttpServer::LocalHttpServer() : m_server(std::make_unique<httplib::Server>()), m_scheme("http") {}

LocalHttpServer::LocalHttpServer(const ServiceCertificate& certificate)
    : m_server(std::make_unique<httplib::SSLServer>(certificate.CertificateFile().string().c_str(),
                                                    certificate.KeyFile().string().c_str())),
      m_scheme("https") {
    if (!m_server->is_valid()) {
        throw std::runtime_error("cannot set up the HTTPS test server");
    }
}

LocalHttpServer::~LocalHttpServer() {
    m_stopping = true;
    m_server->stop();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void LocalHttpServer::Start() {
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0) {
        throw std::runtime_error("cannot bind the test server to 127.0.0.1");
    }
    m_thread = std::thread([this] {
        m_server->listen_after_bind();
        m_listenReturned = true;
    });
    // stop() does nothing to a server that does not run yet, so the destructor could wait forever.
    while (!m_server->is_running()) {
        if (m_listenReturned) {
            throw std::runtime_error("the test server did not start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::string LocalHttpServer::Url(std::string_view path) const {
    return m_scheme + "://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

void LocalHttpServer::Stall(std::chrono::milliseconds limit) const {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!m_stopping && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
