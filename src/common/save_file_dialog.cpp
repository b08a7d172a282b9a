#include "common/save_file_dialog.h"

#include <QFileDialog>

namespace {

std::optional<std::string> AskWithFileDialog(QWidget* parent, const SaveFileQuestion& question) {
    QFileDialog dialog(parent, question.title, question.proposedName, question.fileType);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(question.defaultExtension);
    dialog.selectFile(question.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

SaveFileChooser& CurrentChooser() {
    static SaveFileChooser chooser = AskWithFileDialog;
    return chooser;
}

}  // namespace

std::optional<std::string> ChooseSaveFile(QWidget* parent, const SaveFileQuestion& question) {
    return CurrentChooser()(parent, question);
}

SaveFileChooser ReplaceSaveFileChooser(SaveFileChooser chooser) {
    SaveFileChooser previous = std::move(CurrentChooser());
    CurrentChooser() = chooser ? std::move(chooser) : SaveFileChooser(AskWithFileDialog);
    return previous;
}
