#pragma once

#include <QSocketNotifier>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

// Hands notices from any thread to the thread that made the queue, in posting order. The poster
// only takes a lock and writes to an event descriptor that the receiving thread's event loop
// watches: nothing the poster allocates is touched by the receiver, so the hand-over is one that the
// thread sanitizer can follow (Qt's own cross-thread events are not).
class QtNoticeQueue {
public:
    using Receiver = std::function<void(int notice, const std::string& payload)>;

    explicit QtNoticeQueue(Receiver receiver);
    ~QtNoticeQueue();
    QtNoticeQueue(const QtNoticeQueue&) = delete;
    QtNoticeQueue& operator=(const QtNoticeQueue&) = delete;

    // From any thread; never waits for the receiver.
    void Post(int notice, std::string payload);

private:
    void Deliver();

    Receiver m_receiver;
    int m_wakeFd;
    std::unique_ptr<QSocketNotifier> m_pWake;
    std::mutex m_lock;
    std::deque<std::pair<int, std::string>> m_pending;
};
