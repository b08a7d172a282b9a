#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

// What a save-file question asks: its title, the proposed name, the extension added to a name
// without one, and the single file type offered. Existing files are never overwritten unasked.
struct SaveFileQuestion {
    QString title;
    QString proposedName;
    QString defaultExtension;
    // "Description (*.ext)".
    QString fileType;
};

// The chosen full path (UTF-8), none when the user cancelled.
using SaveFileChooser = std::function<std::optional<std::string>(QWidget* parent, const SaveFileQuestion&)>;

// Asks modally over the parent where to save.
std::optional<std::string> ChooseSaveFile(QWidget* parent, const SaveFileQuestion& question);

// Installs another way to answer the question (tests) and returns the one it replaces; an empty
// function brings back the file dialog.
SaveFileChooser ReplaceSaveFileChooser(SaveFileChooser chooser);
