#pragma once

#include <QEvent>
#include <string>

// A notice posted to a dialog's window, carried to the user-interface thread by the event queue.
class QtNoticeEvent final : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 1);

    QtNoticeEvent(int notice, std::string payload)
        : QEvent(kType), m_notice(notice), m_payload(std::move(payload)) {}

    int Notice() const { return m_notice; }
    const std::string& Payload() const { return m_payload; }

private:
    int m_notice;
    std::string m_payload;
};
