#include "hosts/qt/qt_own_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>

QtOwnTexts::QtOwnTexts(const QLocale& locale) {
    if (m_translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        m_installed = QCoreApplication::installTranslator(&m_translator);
    }
}

QtOwnTexts::~QtOwnTexts() {
    if (m_installed) {
        QCoreApplication::removeTranslator(&m_translator);
    }
}
