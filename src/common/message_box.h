#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "common/message_box_options.h"

// The one way every window shows a message, so tests can put a recorder in its place instead of
// clicking modal boxes.

using MessageBoxFunction = std::function<MessageAnswer(QWidget* parent, const QString& text, MessageIcon icon,
                                                       MessageButtons buttons)>;

// Shows the text (UTF-8) modally over the parent with the program's name as caption.
MessageAnswer ShowMessageBox(QWidget* parent, const std::string& text, MessageIcon icon,
                             MessageButtons buttons = MessageButtons::Ok);

// Installs another way to show messages and returns the one it replaces; an empty function brings
// back the real message box.
MessageBoxFunction ReplaceMessageBoxFunction(MessageBoxFunction function);
