#pragma once

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <memory>
#include <string>
#include <thread>

#include "common/qt_template_dialog.h"
#include "update/download_job.h"

// The "Download" window: fetches the job's URL into its target file on a worker thread, shows the
// progress, and when the file is complete starts it and closes. Every way out goes through
// OnCancel, which stops the worker and waits for it; a failure is shown and leaves the window open.
class CUpdateDownloadDialog1 : public CTemplateDialog, private DownloadListener {
    Q_OBJECT

public:
    // The notices the worker posts to the window.
    static constexpr QEvent::Type kDownloadDone = static_cast<QEvent::Type>(QEvent::User + 1);
    static constexpr QEvent::Type kDownloadProgress = static_cast<QEvent::Type>(QEvent::User + 2);
    static constexpr QEvent::Type kDownloadFailed = static_cast<QEvent::Type>(QEvent::User + 3);

    explicit CUpdateDownloadDialog1(QWidget* pParent = nullptr);
    // Stops and waits for a worker that still runs.
    ~CUpdateDownloadDialog1() override;

    // The opener sets the URL and the target path before the window runs.
    DownloadJob m_job;

    void OnInstall();
    void OnAbort();

protected:
    bool OnInitDialog() override;
    void OnCancel() override;
    bool event(QEvent* event) override;

private:
    // Called on the worker's thread: they only post.
    void NotifyProgress() override;
    void NotifyDone() override;
    void NotifyFailed(const std::string& error) override;

    void OnDownloadDone();
    void OnDownloadProgress();
    void OnDownloadFailed(const QString& error);
    void WaitForWorker();
    void OpenTarget();

    std::unique_ptr<std::thread> m_pThread;
    DownloadCounters m_counters;
    QPushButton* m_btnInstall = nullptr;
    QPushButton* m_btnCancel = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_staticFile = nullptr;
    QLabel* m_staticSize = nullptr;
    QLabel* m_staticLoaded = nullptr;
};
