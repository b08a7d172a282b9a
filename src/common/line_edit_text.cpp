#include "common/line_edit_text.h"

void SetLineText(QLineEdit& edit, const std::string& text) {
    edit.setText(QString::fromStdString(text));
    edit.setCursorPosition(0);
}

std::string LineText(const QLineEdit& edit) {
    return edit.text().toStdString();
}
