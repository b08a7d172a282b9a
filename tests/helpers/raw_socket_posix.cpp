#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "helpers/raw_socket.h"

RawSocket RawSocket::ListenOnLoopback() {
    const int opened = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    RawSocket listener(opened);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!listener.IsOpen() || bind(opened, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(opened, 16) != 0) {
        return {};
    }
    return listener;
}

int RawSocket::LocalPort() const {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (getsockname(static_cast<int>(m_handle), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return -1;
    }
    return ntohs(address.sin_port);
}

bool RawSocket::Wait(bool write, std::chrono::milliseconds wait) const {
    pollfd watched{static_cast<int>(m_handle), static_cast<short>(write ? POLLOUT : POLLIN), 0};
    return poll(&watched, 1, static_cast<int>(wait.count())) > 0;
}

RawSocket RawSocket::Accept() const {
    return RawSocket(accept4(static_cast<int>(m_handle), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
}

long RawSocket::Receive(char* buffer, std::size_t size) const {
    return static_cast<long>(recv(static_cast<int>(m_handle), buffer, size, 0));
}

long RawSocket::Send(std::string_view bytes) const {
    const ssize_t sent = send(static_cast<int>(m_handle), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0) {
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? 0 : -1;
    }
    return static_cast<long>(sent);
}

void RawSocket::Close() {
    if (IsOpen()) {
        close(static_cast<int>(m_handle));
        m_handle = kNone;
    }
}
