#include "ui_support/message_box_recorder.h"

MessageBoxRecorder::MessageBoxRecorder(MessageAnswer answer) {
    m_previous = ReplaceMessageBoxFunction(
        [this, answer](QWidget*, const QString& text, MessageIcon icon, MessageButtons buttons) {
            m_messages.push_back({text, icon, buttons});
            return answer;
        });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    ReplaceMessageBoxFunction(std::move(m_previous));
}
