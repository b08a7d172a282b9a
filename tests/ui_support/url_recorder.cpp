#include "ui_support/url_recorder.h"

#include <QDesktopServices>

UrlRecorder::UrlRecorder(QString scheme) : m_scheme(std::move(scheme)) {
    QDesktopServices::setUrlHandler(m_scheme, this, "Open");
}

UrlRecorder::~UrlRecorder() {
    QDesktopServices::unsetUrlHandler(m_scheme);
}

void UrlRecorder::Open(const QUrl& url) {
    m_opened.push_back(url);
}
