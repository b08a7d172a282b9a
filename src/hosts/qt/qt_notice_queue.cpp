#include "hosts/qt/qt_notice_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

QtNoticeQueue::QtNoticeQueue(Receiver receiver)
    : m_receiver(std::move(receiver)), m_wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (m_wakeFd >= 0) {
        m_pWake = std::make_unique<QSocketNotifier>(m_wakeFd, QSocketNotifier::Read);
        QObject::connect(m_pWake.get(), &QSocketNotifier::activated, [this] { Deliver(); });
    }
}

QtNoticeQueue::~QtNoticeQueue() {
    m_pWake.reset();
    if (m_wakeFd >= 0) {
        close(m_wakeFd);
    }
}

void QtNoticeQueue::Post(int notice, std::string payload) {
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_pending.emplace_back(notice, std::move(payload));
    }
    const uint64_t one = 1;
    // A full counter still wakes the reader, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = write(m_wakeFd, &one, sizeof one);
}

// One at a time, so that a receiver that runs a nested event loop (a message box) gets the later
// notices there still in order.
void QtNoticeQueue::Deliver() {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t drained = read(m_wakeFd, &count, sizeof count);
    for (;;) {
        std::pair<int, std::string> next;
        {
            const std::lock_guard<std::mutex> lock(m_lock);
            if (m_pending.empty()) {
                return;
            }
            next = std::move(m_pending.front());
            m_pending.pop_front();
        }
        m_receiver(next.first, next.second);
    }
}
