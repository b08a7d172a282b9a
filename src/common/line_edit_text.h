#pragma once

#include <QLineEdit>
#include <string>

// A line edit's text as the program's UTF-8 text, and back.

// Shows the start of a long line, as a Windows edit does, not the end where Qt leaves the cursor.
void SetLineText(QLineEdit& edit, const std::string& text);
std::string LineText(const QLineEdit& edit);
