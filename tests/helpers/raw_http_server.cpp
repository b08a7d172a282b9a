#include "helpers/raw_http_server.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace {

using namespace std::chrono_literals;

// How long a wait lasts before the server looks again whether it is being stopped.
constexpr auto kStopCheck = 20ms;
// A client that sends less of its request than this stalls, and is served what arrived.
constexpr auto kRequestPatience = 5s;

std::string Head(std::string_view status, std::string_view headerLines) {
    return "HTTP/1.1 " + std::string(status) + "\r\nContent-Type: text/xml\r\n" + std::string(headerLines) +
           "Connection: close\r\n";
}

std::string LengthLine(std::size_t length) {
    return "Content-Length: " + std::to_string(length) + "\r\n";
}

// The announced body length of a request head; 0 without one. Both platforms' clients spell the
// header so.
std::size_t AnnouncedLength(const std::string& head) {
    const std::size_t at = head.find("\r\nContent-Length:");
    return at == std::string::npos ? 0 : std::strtoull(head.c_str() + at + 17, nullptr, 10);
}

}  // namespace

RawHttpReply RawHttpReply::Status(std::string_view status, std::string_view headerLines, std::string body) {
    return {Head(status, headerLines), std::move(body)};
}

RawHttpReply RawHttpReply::Complete(std::string body) {
    return {Head("200 OK", LengthLine(body.size())), std::move(body)};
}

RawHttpReply RawHttpReply::EndlessBody() {
    return {Head("200 OK", ""), std::string(64 * 1024, 'x'), 0, 0ms, true};
}

RawHttpReply RawHttpReply::Drip(std::string body) {
    return {Head("200 OK", LengthLine(body.size())), std::move(body), 2, 250ms};
}

RawHttpReply RawHttpReply::HugeLength() {
    return {Head("200 OK", "Content-Length: 1099511627776\r\n"), std::string(64 * 1024, 'x'), 0, 0ms, true};
}

RawHttpReply RawHttpReply::CutBody(std::string body) {
    return {Head("200 OK", LengthLine(body.size() * 2 + 1)), std::move(body)};
}

RawHttpReply RawHttpReply::EmptyBody() {
    return Complete("");
}

RawHttpReply RawHttpReply::Stall(std::string first) {
    RawHttpReply reply = CutBody(std::move(first));
    reply.stall = true;
    return reply;
}

RawHttpServer::RawHttpServer(RawHttpReply reply) : RawHttpServer({{"", std::move(reply)}}) {}

RawHttpServer::RawHttpServer(std::map<std::string, RawHttpReply> repliesByPath)
    : m_replies(std::move(repliesByPath)), m_listener(RawSocket::ListenOnLoopback()) {
    if (!m_listener.IsOpen()) {
        throw std::runtime_error("cannot listen on 127.0.0.1 for the raw test server");
    }
    m_port = m_listener.LocalPort();
    m_thread = std::thread([this] { Serve(); });
}

RawHttpServer::~RawHttpServer() {
    m_stopping = true;
    m_thread.join();
}

std::string RawHttpServer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

std::vector<std::string> RawHttpServer::Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void RawHttpServer::Serve() {
    while (!m_stopping) {
        if (!m_listener.WaitReadable(kStopCheck)) {
            continue;
        }
        const RawSocket connection = m_listener.Accept();
        if (!connection.IsOpen()) {
            continue;
        }
        std::string request = ReadRequest(connection);
        const RawHttpReply& reply = ReplyFor(request);
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(std::move(request));
        }
        SendReply(connection, reply);
    }
}

std::string RawHttpServer::ReadRequest(const RawSocket& connection) const {
    std::string request;
    // The length of the whole request, known once its head is in.
    std::size_t wanted = std::string::npos;
    const auto giveUp = std::chrono::steady_clock::now() + kRequestPatience;
    while (!m_stopping && request.size() < wanted && std::chrono::steady_clock::now() < giveUp) {
        if (!connection.WaitReadable(kStopCheck)) {
            continue;
        }
        char buffer[16 * 1024];
        const long received = connection.Receive(buffer, sizeof buffer);
        if (received <= 0) {
            break;
        }
        request.append(buffer, static_cast<std::size_t>(received));
        const std::size_t headEnd =
            wanted == std::string::npos ? request.find("\r\n\r\n") : std::string::npos;
        if (headEnd != std::string::npos) {
            wanted = headEnd + 4 + AnnouncedLength(request.substr(0, headEnd + 2));
        }
    }
    return request;
}

const RawHttpReply& RawHttpServer::ReplyFor(const std::string& request) const {
    static const RawHttpReply notFound = RawHttpReply::Status("404 Not Found", LengthLine(0));
    const auto every = m_replies.find("");
    if (every != m_replies.end()) {
        return every->second;
    }
    // "GET /path HTTP/1.1"
    const std::size_t start = request.find(' ') + 1;
    const auto found = m_replies.find(request.substr(start, request.find(' ', start) - start));
    return found == m_replies.end() ? notFound : found->second;
}

void RawHttpServer::SendReply(const RawSocket& connection, const RawHttpReply& reply) const {
    if (!SendAll(connection, reply.head + "\r\n")) {
        return;
    }
    const std::string_view body = reply.body;
    const std::size_t piece = reply.pieceBytes == 0 ? body.size() : reply.pieceBytes;
    do {
        for (std::size_t at = 0; at < body.size(); at += piece) {
            if (!Pause(reply.pause) || !SendAll(connection, body.substr(at, piece))) {
                return;
            }
        }
    } while (reply.endless && !body.empty());
    while (reply.stall && !m_stopping) {
        std::this_thread::sleep_for(kStopCheck);
    }
}

bool RawHttpServer::SendAll(const RawSocket& connection, std::string_view bytes) const {
    while (!bytes.empty()) {
        if (m_stopping) {
            return false;
        }
        if (!connection.WaitWritable(kStopCheck)) {
            continue;
        }
        const long sent = connection.Send(bytes);
        if (sent < 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

bool RawHttpServer::Pause(std::chrono::milliseconds pause) const {
    for (auto left = pause; left > 0ms && !m_stopping; left -= kStopCheck) {
        std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(kStopCheck)));
    }
    return !m_stopping;
}
