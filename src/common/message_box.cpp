#include "common/message_box.h"

#include <QMessageBox>

namespace {

constexpr char kCaption[] = "LumikartaSystemInfo";

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Stop:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

MessageAnswer ShowQtMessageBox(QWidget* parent, const QString& text, MessageIcon icon,
                               MessageButtons buttons) {
    QMessageBox box(BoxIcon(icon), QString::fromUtf8(kCaption), text, QMessageBox::NoButton, parent);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

MessageBoxFunction& CurrentFunction() {
    static MessageBoxFunction function = ShowQtMessageBox;
    return function;
}

}  // namespace

MessageAnswer ShowMessageBox(QWidget* parent, const std::string& text, MessageIcon icon,
                             MessageButtons buttons) {
    return CurrentFunction()(parent, QString::fromStdString(text), icon, buttons);
}

MessageBoxFunction ReplaceMessageBoxFunction(MessageBoxFunction function) {
    MessageBoxFunction previous = std::move(CurrentFunction());
    CurrentFunction() = function ? std::move(function) : ShowQtMessageBox;
    return previous;
}
