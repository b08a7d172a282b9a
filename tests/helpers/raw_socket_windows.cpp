#include <winsock2.h>

#include <mutex>

#include "helpers/raw_socket.h"

namespace {

SOCKET Native(std::intptr_t handle) {
    return static_cast<SOCKET>(handle);
}

}  // namespace

RawSocket RawSocket::ListenOnLoopback() {
    static std::once_flag started;
    std::call_once(started, [] {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    });
    const SOCKET opened = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    RawSocket listener(opened == INVALID_SOCKET ? kNone : static_cast<std::intptr_t>(opened));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!listener.IsOpen() ||
        bind(opened, reinterpret_cast<sockaddr*>(&address), sizeof address) == SOCKET_ERROR ||
        listen(opened, 16) == SOCKET_ERROR) {
        return {};
    }
    return listener;
}

int RawSocket::LocalPort() const {
    sockaddr_in address{};
    int size = sizeof address;
    if (getsockname(Native(m_handle), reinterpret_cast<sockaddr*>(&address), &size) == SOCKET_ERROR) {
        return -1;
    }
    return ntohs(address.sin_port);
}

bool RawSocket::Wait(bool write, std::chrono::milliseconds wait) const {
    fd_set watched;
    FD_ZERO(&watched);
    FD_SET(Native(m_handle), &watched);
    timeval limit{static_cast<long>(wait.count() / 1000), static_cast<long>(wait.count() % 1000 * 1000)};
    return select(0, write ? nullptr : &watched, write ? &watched : nullptr, nullptr, &limit) > 0;
}

RawSocket RawSocket::Accept() const {
    const SOCKET accepted = accept(Native(m_handle), nullptr, nullptr);
    if (accepted == INVALID_SOCKET) {
        return {};
    }
    u_long nonBlocking = 1;
    ioctlsocket(accepted, FIONBIO, &nonBlocking);
    return RawSocket(static_cast<std::intptr_t>(accepted));
}

long RawSocket::Receive(char* buffer, std::size_t size) const {
    const int received = recv(Native(m_handle), buffer, static_cast<int>(size), 0);
    return received == SOCKET_ERROR ? -1 : received;
}

long RawSocket::Send(std::string_view bytes) const {
    const int sent = send(Native(m_handle), bytes.data(), static_cast<int>(bytes.size()), 0);
    if (sent == SOCKET_ERROR) {
        return WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
    }
    return sent;
}

void RawSocket::Close() {
    if (IsOpen()) {
        closesocket(Native(m_handle));
        m_handle = kNone;
    }
}
