#pragma once

#include <QLocale>
#include <QTranslator>

// Qt's own words in its dialogs (the file dialog's buttons and labels, "All Files", a message box's
// Yes and No) in the system's language for as long as this lives, as Windows' own dialogs speak
// the system's language whatever the program's texts are. Where Qt's translations are not
// installed, they stay English.
class QtOwnTexts {
public:
    explicit QtOwnTexts(const QLocale& locale = QLocale::system());
    ~QtOwnTexts();
    QtOwnTexts(const QtOwnTexts&) = delete;
    QtOwnTexts& operator=(const QtOwnTexts&) = delete;

private:
    QTranslator m_translator;
    bool m_installed = false;
};
