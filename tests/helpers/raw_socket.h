#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

// A TCP socket on 127.0.0.1 for test servers that must misbehave in ways no server library would:
// POSIX sockets or Winsock (raw_socket_<platform>.cpp). Waits are bounded, and connections never
// block on sending, so a server can always be stopped.
class RawSocket {
public:
    // Listening on 127.0.0.1 at a free port; not open when that fails.
    static RawSocket ListenOnLoopback();

    RawSocket() = default;
    ~RawSocket() { Close(); }
    RawSocket(RawSocket&& other) noexcept : m_handle(std::exchange(other.m_handle, kNone)) {}
    RawSocket(const RawSocket&) = delete;
    RawSocket& operator=(const RawSocket&) = delete;

    bool IsOpen() const { return m_handle != kNone; }
    int LocalPort() const;

    // Whether a connection or bytes (or the peer's close) are waiting, after at most `wait`.
    bool WaitReadable(std::chrono::milliseconds wait) const { return Wait(false, wait); }
    bool WaitWritable(std::chrono::milliseconds wait) const { return Wait(true, wait); }

    // The next connection, which never blocks on sending; not open when there is none.
    RawSocket Accept() const;
    // Bytes received; 0 once the peer has closed; -1 on failure.
    long Receive(char* buffer, std::size_t size) const;
    // Bytes sent, 0 when there is no room just now; -1 once the peer has gone.
    long Send(std::string_view bytes) const;
    void Close();

private:
    static constexpr std::intptr_t kNone = -1;
    explicit RawSocket(std::intptr_t handle) : m_handle(handle) {}
    bool Wait(bool write, std::chrono::milliseconds wait) const;

    std::intptr_t m_handle = kNone;
};
