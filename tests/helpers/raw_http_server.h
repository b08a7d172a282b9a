#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "helpers/raw_socket.h"

// What a RawHttpServer sends for a request, byte for byte, as fast or as slowly as told.
struct RawHttpReply {
    // Status line and header lines, each ended by CRLF; the empty line that ends the head follows.
    std::string head;
    // Sent after the head in pieces of pieceBytes (0: all at once), each after `pause`.
    std::string body;
    std::size_t pieceBytes = 0;
    std::chrono::milliseconds pause{0};
    // The body again and again until the client goes away or the server stops.
    bool endless = false;
    // After the body, the connection is held open without a byte more until the server stops.
    bool stall = false;

    // The status line `status`, the header lines `headerLines` (each ended by CRLF) and the body
    // as they stand.
    static RawHttpReply Status(std::string_view status, std::string_view headerLines, std::string body = "");
    // Status 200 with the body and its length: what a sound server sends.
    static RawHttpReply Complete(std::string body);
    // Status 200 without a length and a body without end, as fast as the client takes it.
    static RawHttpReply EndlessBody();
    // Status 200 with the body and its length, two bytes at a time, about eight bytes a second: fast
    // enough never to look stalled, slow enough that a body of 160 bytes takes 20 seconds.
    static RawHttpReply Drip(std::string body);
    // Announces a terabyte and sends without end, so no client gets to the end of it.
    static RawHttpReply HugeLength();
    // Announces more than the body it sends before closing the connection.
    static RawHttpReply CutBody(std::string body);
    // Status 200 with a length of 0.
    static RawHttpReply EmptyBody();
    // Announces more than `first`, sends it and then nothing more.
    static RawHttpReply Stall(std::string first);
};

// A plain HTTP server on 127.0.0.1 at a free port, written on bare sockets so that it can send
// what no server library would, and can show a request's bytes as they arrived, before anything
// has read them and put them in order. Serves one connection at a time, each closed after its
// reply; the destructor ends any reply under way and waits for the server's thread.
class RawHttpServer {
public:
    explicit RawHttpServer(RawHttpReply reply);
    // A reply for each path (as the request line has it); 404 for any other.
    explicit RawHttpServer(std::map<std::string, RawHttpReply> repliesByPath);
    ~RawHttpServer();
    RawHttpServer(const RawHttpServer&) = delete;
    RawHttpServer& operator=(const RawHttpServer&) = delete;

    int Port() const { return m_port; }
    // The URL of `path` (starting with '/') on this server.
    std::string Url(std::string_view path) const;
    // Each request received so far: its head and as many body bytes as it announced.
    std::vector<std::string> Requests() const;

private:
    void Serve();
    std::string ReadRequest(const RawSocket& connection) const;
    void SendReply(const RawSocket& connection, const RawHttpReply& reply) const;
    const RawHttpReply& ReplyFor(const std::string& request) const;
    bool SendAll(const RawSocket& connection, std::string_view bytes) const;
    bool Pause(std::chrono::milliseconds pause) const;

    // Under the empty path: the reply to every request.
    const std::map<std::string, RawHttpReply> m_replies;
    RawSocket m_listener;
    int m_port = -1;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
