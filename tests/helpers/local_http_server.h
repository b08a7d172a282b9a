#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

class ServiceCertificate;

// An HTTP or HTTPS server on 127.0.0.1 at a free port for one test. Set the routes through
// Routes(), then Start(); the destructor stops the server and waits for its threads.
class LocalHttpServer {
public:
    LocalHttpServer();
    // HTTPS with the server certificate of `certificate`.
    explicit LocalHttpServer(const ServiceCertificate& certificate);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    httplib::Server& Routes() { return *m_server; }
    void Start();

    int Port() const { return m_port; }
    // The URL of `path` (starting with '/') on this server.
    std::string Url(std::string_view path) const;

    // For handlers that play a slow or stalled server: waits until `limit` has passed or the server
    // is being stopped, whichever comes first, so no test can hang on it.
    void Stall(std::chrono::milliseconds limit) const;

private:
    std::unique_ptr<httplib::Server> m_server;
    std::string m_scheme;
    int m_port = -1;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_listenReturned{false};
};
