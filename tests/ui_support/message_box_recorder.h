#pragma once

#include <QString>
#include <vector>

#include "common/message_box.h"

// Takes the place of the message box for its life: records every message and answers with the
// given answer instead of waiting for a click.
class MessageBoxRecorder {
public:
    struct Message {
        QString text;
        MessageIcon icon;
        MessageButtons buttons;
    };

    explicit MessageBoxRecorder(MessageAnswer answer = MessageAnswer::Ok);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<Message>& Messages() const { return m_messages; }

private:
    std::vector<Message> m_messages;
    MessageBoxFunction m_previous;
};
