#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string>

// The one way every window shows a message, so tests can put a recorder in its place instead of
// clicking modal boxes.

enum class MessageIcon { None, Exclamation, Information, Stop, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

using MessageBoxFunction = std::function<MessageAnswer(QWidget* parent, const QString& text, MessageIcon icon,
                                                       MessageButtons buttons)>;

// Shows the text (UTF-8) modally over the parent with the program's name as caption.
MessageAnswer ShowMessageBox(QWidget* parent, const std::string& text, MessageIcon icon,
                             MessageButtons buttons = MessageButtons::Ok);

// Installs another way to show messages and returns the one it replaces; an empty function brings
// back the real message box.
MessageBoxFunction ReplaceMessageBoxFunction(MessageBoxFunction function);
