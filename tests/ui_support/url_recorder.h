#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <vector>

// Takes the place of the browser for the scheme while it lives: every address the program opens
// with it is recorded instead of shown.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    explicit UrlRecorder(QString scheme);
    ~UrlRecorder() override;

    const std::vector<QUrl>& Opened() const { return m_opened; }

public slots:
    void Open(const QUrl& url);

private:
    QString m_scheme;
    std::vector<QUrl> m_opened;
};
